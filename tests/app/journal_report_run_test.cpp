// A whole journal run on a small hand-made data set: the report's figures
// are worked out by hand below, and the file must be well-formed XML.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;

class JournalReportRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    DataSetSpec wanted;
    wanted.roundingMode = 1;  // cut toward zero
    AddSelectedCompany(host_, wanted);
    // 8 % sales in April: 1,000,000 + 250,000 + 33,333.3333 yen, tax
    // 80,000 + 20,000 + 2,666.6666 yen.
    host_.AddJournal(Sale(20140410, 1000000, 80000));
    host_.AddJournal(Sale(20140415, 250000, 20000));
    JournalSpec fraction = Sale(20140420, 0, 0);
    fraction.credit.amount = 333333333;
    fraction.credit.tax = 26666666;
    host_.AddJournal(fraction);
    // 8 % purchase in May.
    host_.AddJournal(Purchase(20140510, 300000, 24000));
    // A sales return in June: tax class 6 on the debit side.
    JournalSpec salesReturn = Sale(20140601, 50000, 4000);
    salesReturn.debit = salesReturn.credit;
    salesReturn.debit.taxClass = 6;
    salesReturn.credit = {};
    host_.AddJournal(salesReturn);
    // A transitional 5 % sale in July and an export sale in August.
    host_.AddJournal(Sale(20140701, 200000, 10000, 500));
    JournalSpec exportSale = Sale(20140801, 400000, 0);
    exportSale.credit.taxClass = 2;
    host_.AddJournal(exportSale);
    // October lies outside the range April to September.
    host_.AddJournal(Sale(20141010, 999999, 79999));
  }

  ProgramRunResult RunAprilToSeptember() {
    std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"), 4, 9);
    steps.push_back(AnswerStep("ok", kClosing));
    ProgramRunResult result = RunWith(steps);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Mismatches(result), "");
    return result;
  }
};

TEST_F(JournalReportRunTest, FiguresMatchTheJournalsOfTheRange) {
  RunAprilToSeptember();
  std::string report = ReadFileBytes(OutPosix("tax.xml"));
  struct Figure {
    const char* element;
    const char* text;
  };
  const Figure figures[] = {
      // 1,283,333.3333 and 102,666.6666 cut; including tax 1,385,999.9999.
      {"KAZEIURIAGEZEINUKI8", "1283333"},
      {"KAZEIURIAGEZEIGAKU8", "102666"},
      {"KAZEIURIAGEZEIKOMI8", "1385999"},
      {"MENZEIURIAGEZEINUKI8", "400000"},
      {"KAZEIURIAGEHENKANZEINUKI8", "50000"},
      {"KAZEIURIAGEHENKANZEIGAKU8", "4000"},
      {"KAZEIURIAGEHENKANZEIKOMI8", "54000"},
      {"SHIIREKAZEIZEINUKI8", "300000"},
      {"SHIIREKAZEIZEIGAKU8", "24000"},
      {"SHIIREKAZEIZEIKOMI8", "324000"},
      {"KAZEIURIAGEZEINUKI5", "200000"},
      {"KAZEIURIAGEZEIGAKU5", "10000"},
      {"KAZEIURIAGEZEIKOMI5", "210000"},
      // Nothing at 3 %, and no purchases at 5 %: empty elements.
      {"KAZEIURIAGEZEINUKI3", ""},
      {"SHIIREKAZEIZEINUKI5", ""},
      // BASIC: standard taxation, a corporation, with 5 % figures.
      {"JIGYOUNENDOFROM", "20140401"},
      {"JIGYOUNENDOTO", "20150331"},
      {"HOUJINKOJINKUBUN", "1"},
      {"KAZEIKUBUN", "1"},
      {"KEIKASHOCHIKAZEISHISAN", "1"},
      // SYSTEM: started by hand, without a support file.
      {"FUNCTIONID", "1"},
      {"CONNECTEDPROGRAMVER", "18.00.00"},
      {"PROGRAMNAME", "Marvesta１８ Alto"_sjis},
  };
  for (const Figure& figure : figures) {
    EXPECT_EQ(ElementText(report, figure.element), figure.text) << figure.element;
  }
  EXPECT_EQ(report.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n", 0), 0u);
  EXPECT_NE(report.find("\t</DATA>\r\n</REPORT>\r\n"), std::string::npos);
}

TEST_F(JournalReportRunTest, ReportIsWellFormedShiftJisXml) {
  RunAprilToSeptember();
  std::string command = "xmllint --noout '" + OutPosix("tax.xml") + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(JournalReportRunTest, ProgressWindowIsShownAndEnded) {
  ProgramRunResult result = RunAprilToSeptember();
  std::vector<nlohmann::json> progress = EventsOf(result, "progress");
  bool shown = false;
  bool ended = false;
  for (const nlohmann::json& event : progress) {
    EXPECT_EQ(event.value("id", 0), 131);
    shown = shown || event.value("visible", false);
    ended = ended || event.value("state", "") == "ended";
  }
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ended);
}

TEST_F(JournalReportRunTest, SupportFileNamesTheProduct) {
  Program().WriteProgramFile(
      "SUPPORT.INF", "[=製品名=]Marvesta１８ Alto デモ\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]18.00.05\r\n"_sjis);
  RunAprilToSeptember();
  std::string report = ReadFileBytes(OutPosix("tax.xml"));
  EXPECT_EQ(ElementText(report, "PROGRAMNAME"), "Marvesta１８ Alto デモ"_sjis);
  EXPECT_EQ(ElementText(report, "PROGRAMVER"), "18.00.05");
}

// The host reports the rows of 8, 5 and 3 % and a totals row whatever rates a
// data set lists, so a data set that lists fewer rates gets the report of one
// that lists all three: no totals row labelled 3 %, no rate lost.
TEST_F(ProgramRunTest, RateGroupsDoNotDependOnTheListedRates) {
  AddSelectedCompany(host_);
  auto dataSection = [&](const std::vector<int32_t>& listed) {
    host_.Exec("DELETE FROM tax_rate");
    for (size_t row = 0; row < listed.size(); ++row) {
      host_.Exec("INSERT INTO tax_rate (data_no, row_no, rate) VALUES (1, " +
                 std::to_string(row + 1) + ", " + std::to_string(listed[row]) + ")");
    }
    std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
    steps.push_back(AnswerStep("ok", kClosing));
    ProgramRunResult result = RunWith(steps);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Mismatches(result), "");
    std::string report = ReadFileBytes(OutPosix("tax.xml"));
    size_t begin = report.find("<DATA>");
    size_t end = report.find("</DATA>");
    ::unlink(OutPosix("tax.xml").c_str());
    return begin == std::string::npos || end == std::string::npos
               ? std::string("<no DATA>")
               : report.substr(begin, end - begin);
  };
  const std::vector<int32_t> lists[] = {{800}, {800, 500}, {500, 300}, {800, 500, 300}};
  for (const std::vector<int32_t>& listed : lists) {
    SCOPED_TRACE(::testing::PrintToString(listed));
    host_.Exec("DELETE FROM journal_line");
    int64_t yen = 100000;
    for (int32_t rate : listed) {
      host_.AddJournal(Sale(20140510, yen, yen * rate / 10000, rate, 1));
      host_.AddJournal(Purchase(20140610, yen / 2, yen * rate / 20000, rate));
      yen += 10000;
    }
    std::string fewer = dataSection(listed);
    EXPECT_EQ(fewer, dataSection({800, 500, 300}));
    const bool threePercent = listed.back() == 300;
    EXPECT_EQ(ElementText(fewer, "KAZEIURIAGEZEINUKI3") != "", threePercent);
  }
}

}  // namespace
}  // namespace taxlink::testing
