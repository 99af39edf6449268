// The checks a journal run makes before it aggregates: sixth-business-type
// journals under simplified taxation, journals at 10 % and the notice about
// undetermined import tax classes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;
const char* const kSixthType =
    "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n"
    "「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できませ"
    "ん。\n"
    "\nMarvesta１８ Alto の以下の機能にて事業分類を見直してください。\n\n"
    "・各種帳簿機能(簡易振替伝票入力等)\n"
    "※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。"_sjis;
const char* const kTenPercent =
    "集計範囲に税率「10%」の仕訳があるため、集計できません。\n\n"
    "※消費税率「10%」の仕訳の集計は、今後提供予定の連動コンポーネントにて対応します。"_sjis;
const char* const kImportClass =
    "集計範囲の中に、輸入取引の本体分、国税分、地方税分が未確定の税区分(31,32,33,35,36,37)"
    "を使用している仕訳があります。\n"
    "この仕訳の金額は、消費税申告書には集計されません。"_sjis;

constexpr int kSimplified = 1;
constexpr int kStandard = 2;

DataSetSpec Company(int filingClass, int32_t periodStart, int32_t periodEnd) {
  DataSetSpec wanted;
  wanted.filingClass = filingClass;
  wanted.mainBusinessType = filingClass == kSimplified ? 1 : 0;
  wanted.periodStart = periodStart;
  wanted.periodEnd = periodEnd;
  return wanted;
}

struct SixthTypeCase {
  const char* name;
  int filingClass;
  int32_t periodStart;
  int32_t periodEnd;
  int32_t journalDate;
  int startMonth;
  int endMonth;
  bool refused;
};

class SixthBusinessTypeRunTest : public ProgramRunTest,
                                 public ::testing::WithParamInterface<SixthTypeCase> {};

TEST_P(SixthBusinessTypeRunTest, RefusesOnlySimplifiedTaxationBeforeApril2015) {
  const SixthTypeCase& c = GetParam();
  AddSelectedCompany(host_, Company(c.filingClass, c.periodStart, c.periodEnd));
  host_.AddJournal(Sale(c.journalDate, 5000, 400, 800, 6));
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"), c.startMonth, c.endMonth);
  steps.push_back(AnswerStep("ok"));
  ProgramRunResult result = RunWith(steps);

  EXPECT_EQ(Mismatches(result), "");
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  if (c.refused) {
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(messages[0].value("text", ""), Utf8(kSixthType));
    EXPECT_EQ(messages[0].value("icon", ""), "warning");
    EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
    EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
  } else {
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(messages[0].value("text", ""), Utf8(kClosing));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SixthBusinessTypeRunTest,
    ::testing::Values(SixthTypeCase{"SimplifiedFromMarch2015", kSimplified, 20140401, 20150331,
                                    20150310, 3, 3, true},
                      SixthTypeCase{"SimplifiedWholeYear", kSimplified, 20140401, 20150331,
                                    20150310, 4, 3, true},
                      SixthTypeCase{"SimplifiedFromApril2015", kSimplified, 20150401, 20160331,
                                    20150410, 4, 4, false},
                      SixthTypeCase{"StandardFromMarch2015", kStandard, 20140401, 20150331,
                                    20150310, 3, 3, false},
                      // The journal lies outside the month range, so nothing is counted.
                      SixthTypeCase{"SimplifiedJournalOutsideRange", kSimplified, 20140401,
                                    20150331, 20150310, 4, 9, false}),
    [](const ::testing::TestParamInfo<SixthTypeCase>& test) { return test.param.name; });

struct TenPercentCase {
  const char* name;
  int filingClass;
  int32_t periodStart;
  int32_t periodEnd;
  int32_t sixthTypeDate;  // a sixth-business-type journal that is let pass
  int32_t tenPercentDate;
};

class TenPercentRunTest : public ProgramRunTest,
                          public ::testing::WithParamInterface<TenPercentCase> {};

TEST_P(TenPercentRunTest, StopsAfterTheSixthTypeCheckPassed) {
  const TenPercentCase& c = GetParam();
  AddSelectedCompany(host_, Company(c.filingClass, c.periodStart, c.periodEnd));
  host_.AddJournal(Sale(c.sixthTypeDate, 5000, 400, 800, 6));
  host_.AddJournal(Sale(c.tenPercentDate, 1000, 100, 1000));
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
  steps.push_back(AnswerStep("ok"));
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith(steps, {"4660,1025,5,"});

  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Mismatches(result), "");
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].value("text", ""), Utf8(kTenPercent));
  EXPECT_EQ(messages[0].value("icon", ""), "warning");
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(5, 1));
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
  // The progress window was created but never shown.
  for (const nlohmann::json& event : EventsOf(result, "progress")) {
    EXPECT_FALSE(event.value("visible", true)) << event.dump();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TenPercentRunTest,
    ::testing::Values(TenPercentCase{"Standard", kStandard, 20140401, 20150331, 20150310, 20140510},
                      TenPercentCase{"SimplifiedAfterApril2015", kSimplified, 20150401, 20160331,
                                     20150410, 20150510}),
    [](const ::testing::TestParamInfo<TenPercentCase>& test) { return test.param.name; });

class ImportClassNoticeRunTest : public ProgramRunTest,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(ImportClassNoticeRunTest, NoticeOnlyUnderStandardTaxationAndTheRunGoesOn) {
  const int filingClass = GetParam();
  AddSelectedCompany(host_, Company(filingClass, 20140401, 20150331));
  host_.AddJournal(Sale(20140410, 1000, 80));
  JournalSpec import = Purchase(20140420, 30000, 2400);
  import.debit.taxClass = 31;
  host_.AddJournal(import);
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
  if (filingClass == kStandard) steps.push_back(AnswerStep("ok", "輸入取引"_sjis));
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult result = RunWith(steps);

  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  if (filingClass == kStandard) {
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].value("text", ""), Utf8(kImportClass));
    EXPECT_EQ(messages[0].value("icon", ""), "information");
  } else {
    ASSERT_EQ(messages.size(), 1u);
  }
  EXPECT_EQ(messages.back().value("text", ""), Utf8(kClosing));
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")), "");
}

INSTANTIATE_TEST_SUITE_P(FilingClasses, ImportClassNoticeRunTest,
                         ::testing::Values(kStandard, kSimplified));

}  // namespace
}  // namespace taxlink::testing

namespace taxlink::testing {
namespace {

// A host that reports another number of rate rows than its data set has:
// the tables are sized by the report and the summation must not write past
// them; a count that cannot hold the 8, 5 and 3 % rows, or that 16 bits
// cannot hold, fails the run.
class FaultBuildRunTest : public ProgramRunTest {
 protected:
  FaultBuildRunTest() : ProgramRunTest("TaxLinkAlto", ProgramBuild::kFaults) {
    AddSelectedCompany(host_, Company(kStandard, 20140401, 20150331));
    host_.AddJournal(Sale(20140501, 5000, 400, 800, 0));
  }
  ProgramRunResult RunWithRateRows(int rows, bool written) {
    std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"), 4, 3);
    if (written) steps.push_back(AnswerStep("ok"));
    return RunWith(steps, {},
                   {"MVHOST_FAULTS=ClSetShohizei::GetTaxRateCount=" + std::to_string(rows)});
  }
};

TEST_F(FaultBuildRunTest, ThreeReportedRateRowsStillWriteTheReport) {
  ProgramRunResult result = RunWithRateRows(3, true);
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")).find("<KAZEIURIAGEZEINUKI8>"), std::string::npos);
}

TEST_F(FaultBuildRunTest, ACountOutsideTheTablesFailsBeforeTheDialog) {
  for (int rows : {2, 40000}) {
    SCOPED_TRACE(rows);
    ProgramRunResult result = RunWithRateRows(rows, false);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.transcript.empty()) << "no dialog, no message";
    EXPECT_EQ(result.standardError,
              "mvhost: injecting faults: ClSetShohizei::GetTaxRateCount=" + std::to_string(rows) +
                  "\ntaxlink: missing: the host reports " + std::to_string(rows) +
                  " rate rows (3 to 32767 expected) in ClSetShohizei::GetTaxRateCount: result 2\n");
    EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
  }
}

}  // namespace
}  // namespace taxlink::testing
