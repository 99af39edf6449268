// `mvhost launch --sheet`: the host writes the check sheet beside the report
// of a written run and says where, and writes none for a run that stopped.
// The sheet shows the bookkeeping check of the run's data set and months.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing = "消費税情報の出力が終了しました。"_sjis;
constexpr int64_t kYen = 10000;
constexpr int32_t kCashAccount = 3;

// The cells of the finding rows of a sheet, row by row.
std::vector<std::vector<std::string>> FindingRows(const std::string& html) {
  static const std::regex row(R"(<tr data-key="findings/[0-9]+">(.*?)</tr>)");
  static const std::regex cell("<td[^>]*>(.*?)</td>");
  std::vector<std::vector<std::string>> rows;
  for (std::sregex_iterator r(html.begin(), html.end(), row), end; r != end; ++r) {
    const std::string cells = (*r)[1].str();
    rows.emplace_back();
    for (std::sregex_iterator c(cells.begin(), cells.end(), cell); c != end; ++c) {
      rows.back().push_back((*c)[1].str());
    }
  }
  return rows;
}

class LaunchSheetRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    AddSelectedCompany(host_);
    Program().LaunchThroughHost(std::vector<std::string>{"--sheet"});
  }
};

TEST_F(LaunchSheetRunTest, AWrittenRunGetsItsSheetBesideTheReport) {
  // The tests' runs keep a transcript; without one, mvhost keeps its own.
  for (bool ownTranscript : {false, true}) {
    SCOPED_TRACE(ownTranscript ? "mvhost's own transcript" : "the run's transcript");
    const std::string name = ownTranscript ? "own" : "run";
    std::vector<std::string> environment;
    if (ownTranscript) environment.push_back("TAXLINK_UI_TRANSCRIPT=");
    ProgramRunResult result = RunWith({TypeStep(kOutputPathEdit, OutWindows(name + ".xml")),
                                       ClickStep(kRunButton), AnswerStep("ok", kClosing)},
                                      {}, environment);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const std::string sheet = OutPosix(name + ".html");
    EXPECT_NE(result.standardOutput.find("result: 0 written\nsheet: " + sheet + "\n"),
              std::string::npos)
        << result.standardOutput;
    const std::string html = ReadFileBytes(sheet);
    EXPECT_NE(html.find(Utf8("<h1>消費税 連動データ 確認表</h1>"_sjis)), std::string::npos);
    // Books without a journal line hold nothing to find.
    EXPECT_NE(
        html.find(Utf8("<p class=\"note\">指摘はありません（データ 1、4月～3月）。</p>"_sjis)),
        std::string::npos);
  }
}

// A purchase whose tax does not match its rate in May and another in
// November; a run over April to September finds the first only, and the
// report is the same as without the sheet.
TEST_F(LaunchSheetRunTest, TheSheetShowsTheFindingsOfTheRunsMonths) {
  host_.AddAccount({.accountId = kCashAccount,
                    .code = "100",
                    .name = "現金"_sjis,
                    .classCode = 0x01100000,
                    .balanceSide = 1});
  auto purchase = [](int32_t date, int64_t taxYen) {
    return JournalSpec{.date = date,
                       .debit = {.account = kPurchaseAccount,
                                 .amount = 100000 * kYen,
                                 .tax = taxYen * kYen,
                                 .taxClass = 21},
                       .credit = {.account = kCashAccount, .amount = (100000 + taxYen) * kYen},
                       .rate = 800};
  };
  host_.AddJournal(purchase(20140410, 8000));
  host_.AddJournal(purchase(20140520, 5000));
  host_.AddJournal(purchase(20141120, 4000));

  auto steps = [this](const std::string& name) {
    std::vector<std::string> run = JournalRunSteps(OutWindows(name), 4, 9);
    run.push_back(AnswerStep("ok", kClosing));
    return run;
  };
  ProgramRunResult result = RunWith(steps("m.xml"));
  ASSERT_EQ(result.exitCode, 0) << result.standardError << result.standardOutput;
  const std::string html = ReadFileBytes(OutPosix("m.html"));
  const std::vector<std::vector<std::string>> expected = {
      {"tax-mismatch", "journal 2/line 2", "debit 600: tax 5000 on 100000 at 8 % should be 8000",
       "correct the tax, the amount or the rate"}};
  EXPECT_EQ(FindingRows(html), expected) << html;
  EXPECT_NE(html.find(Utf8("指摘 1 件（データ 1、4月～9月）"_sjis)), std::string::npos);
  EXPECT_NE(html.find("<tr data-key=\"findings/count/tax-mismatch\"><td class=\"label\">"
                      "tax-mismatch</td><td class=\"num\">1</td></tr>"),
            std::string::npos);

  const std::string report = ReadFileBytes(OutPosix("m.xml"));
  Program().LaunchThroughHost(std::vector<std::string>{});
  result = RunWith(steps("plain.xml"));
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(ReadFileBytes(OutPosix("plain.xml")), report);
}

TEST_F(LaunchSheetRunTest, AStoppedRunGetsNone) {
  ProgramRunResult result = RunWith({KeyStep("Esc"), AnswerStep("ok")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardOutput.find("sheet:"), std::string::npos) << result.standardOutput;
}

}  // namespace
}  // namespace taxlink::testing
