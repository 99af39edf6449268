// The saved consumption-tax return: when the dialog offers it, and a run
// that writes the report from it.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/StSaveTaxInfo.h"
#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;
const char* const kCancelled = "｢消費税｣の集計を中止します。"_sjis;

// A saved return that belongs to the data set wanted describes.
StSaveTaxInfo MatchingReturn(const DataSetSpec& wanted) {
  StSaveTaxInfo saved;
  std::memset(&saved, 0, sizeof(saved));
  saved.taxationMethod = wanted.filingClass == 1 ? 2 : 1;
  saved.creditMethodPlus1 = static_cast<uint8_t>(wanted.creditMethod + 1);
  saved.periodStart = wanted.periodStart;
  saved.periodEnd = wanted.periodEnd;
  saved.returnPeriodStart = wanted.periodStart;
  saved.returnPeriodEnd = wanted.periodEnd;
  saved.monthRangeFirst = wanted.periodStart;
  saved.monthRangeLast = wanted.periodEnd;
  saved.dataCodePlus1 = static_cast<uint8_t>((wanted.interimClosing ? 1 : 0) + 1);
  return saved;
}

struct UsableCase {
  const char* name;
  std::function<void(DataSetSpec&)> company;
  std::function<void(StSaveTaxInfo&)> saved;  // nullptr: nothing saved
  bool usable;
};

class SavedReturnOfferTest : public ProgramRunTest,
                             public ::testing::WithParamInterface<UsableCase> {};

TEST_P(SavedReturnOfferTest, DialogOffersTheMethodOnlyForAMatchingReturn) {
  const UsableCase& c = GetParam();
  DataSetSpec wanted;
  wanted.mainBusinessType = 1;
  if (c.company) c.company(wanted);
  int32_t dataNo = AddSelectedCompany(host_, wanted);
  if (c.saved) {
    StSaveTaxInfo saved = MatchingReturn(wanted);
    c.saved(saved);
    host_.SaveReturn(dataNo, saved);
  }
  ProgramRunResult result = RunWith({KeyStep("Esc"), AnswerStep("ok", kCancelled)});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Mismatches(result), "");
  nlohmann::json dialog = ConditionsDialogEvent(result);
  EXPECT_EQ(FieldEnabled(dialog, kByJournalsRadio), c.usable);
  EXPECT_EQ(FieldEnabled(dialog, kSavedValuesRadio), c.usable);
  EXPECT_TRUE(dialog["fields"]["1029"].value("checked", false));
}

INSTANTIATE_TEST_SUITE_P(
    Returns, SavedReturnOfferTest,
    ::testing::Values(
        UsableCase{"NothingSaved", nullptr, nullptr, false},
        UsableCase{"StandardMatches", nullptr, [](StSaveTaxInfo&) {}, true},
        UsableCase{"PeriodFieldsZero", nullptr,
                   [](StSaveTaxInfo& s) { s.periodStart = s.periodEnd = 0; }, false},
        UsableCase{"PreviousYear", nullptr,
                   [](StSaveTaxInfo& s) {
                     s.periodStart = 20130401;
                     s.periodEnd = 20140331;
                   },
                   false},
        UsableCase{"OtherPeriodEnd", nullptr, [](StSaveTaxInfo& s) { s.periodEnd = 20150228; },
                   false},
        UsableCase{"SimplifiedWithCodeOne", [](DataSetSpec& d) { d.filingClass = 1; },
                   [](StSaveTaxInfo& s) { s.taxationMethod = 1; }, false},
        UsableCase{"SimplifiedWithCodeTwo", [](DataSetSpec& d) { d.filingClass = 1; },
                   [](StSaveTaxInfo& s) { s.taxationMethod = 2; }, true},
        UsableCase{"StandardWithCodeTwo", nullptr, [](StSaveTaxInfo& s) { s.taxationMethod = 2; },
                   false},
        UsableCase{"ProportionalCreditSavedAsTwo", [](DataSetSpec& d) { d.creditMethod = 1; },
                   [](StSaveTaxInfo& s) { s.creditMethodPlus1 = 2; }, true},
        UsableCase{"ProportionalCreditSavedAsOne", [](DataSetSpec& d) { d.creditMethod = 1; },
                   [](StSaveTaxInfo& s) { s.creditMethodPlus1 = 1; }, false},
        UsableCase{"OtherDataSetCode", nullptr, [](StSaveTaxInfo& s) { s.dataCodePlus1 = 2; },
                   false},
        UsableCase{"InterimClosingCode", [](DataSetSpec& d) { d.interimClosing = true; },
                   [](StSaveTaxInfo&) {}, true}),
    [](const ::testing::TestParamInfo<UsableCase>& test) { return test.param.name; });

// A saved return the host cannot read is a failure, not a return to leave
// out: the run ends with the host's message before the dialog.
TEST_F(ProgramRunTest, ReturnImageOfAnotherSizeFailsTheRun) {
  int32_t dataNo = AddSelectedCompany(host_);
  host_.SaveReturnBytes(dataNo, std::string(100, '\x01'));
  ProgramRunResult result = RunWith({AnswerStep("ok")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result),
            std::vector<std::string>{
                Utf8("会計システムでエラーが発生しました。\n\nエラーコード: -2010"_sjis)});
  EXPECT_TRUE(EventsOf(result, "dialog").empty());
}

class SavedReturnRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    DataSetSpec wanted;
    dataNo_ = AddSelectedCompany(host_, wanted);
    StSaveTaxInfo saved = MatchingReturn(wanted);
    saved.returnPeriodStart = 20141001;
    saved.kazeiUriageZeinuki8 = 12345670000;  // 1234567 yen
    saved.kazeiUriageZeigaku8 = 987654321;    // 98765.4321 yen, cut
    host_.SaveReturn(dataNo_, saved);
    // Journals the pre-checks of a journal run would refuse.
    host_.AddJournal(Sale(20140510, 1000, 100, 1000));
  }
  int32_t dataNo_ = 0;
};

TEST_F(SavedReturnRunTest, WritesTheSavedFiguresWithoutPreChecksOrProgress) {
  const std::string path = OutWindows("saved.xml");
  ProgramRunResult result = RunWith({ClickStep(kSavedValuesRadio), TypeStep(kOutputPathEdit, path),
                                     ClickStep(kRunButton), AnswerStep("ok", kClosing)});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result), std::vector<std::string>{Utf8(kClosing)});
  for (const nlohmann::json& event : EventsOf(result, "progress")) {
    EXPECT_FALSE(event.value("visible", true)) << event.dump();
  }
  std::string report = ReadFileBytes(OutPosix("saved.xml"));
  EXPECT_EQ(ElementText(report, "KAZEIURIAGEZEINUKI8"), "1234567");
  EXPECT_EQ(ElementText(report, "KAZEIURIAGEZEIGAKU8"), "98765");
  EXPECT_EQ(ElementText(report, "JIGYOUNENDOFROM"), "20141001");
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "U01/1/1:1/4/3/" + path + "\n");
}

TEST_F(SavedReturnRunTest, GivingUpAfterAFailedSectionFailsTheRun) {
  // Every write to the full device fails, so SYSTEM asks first; No ends.
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith({ClickStep(kSavedValuesRadio), ClickStep(kRunButton),
                                     AnswerStep("no", "システム情報の出力に失敗しました。"_sjis)},
                                    {"4660,1025,9,C:\\dev\\full"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result),
            std::vector<std::string>{
                Utf8("システム情報の出力に失敗しました。\n\n出力を続けますか？"_sjis)});
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(9, 2));
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
}

// An exception that leaves the run (here a saved securities amount whose
// factor 20 passes the fixed-point range) is a failed run the user is told
// about, and the host is notified.
TEST_F(ProgramRunTest, AnAmountPastTheRangeFailsTheRunWithAMessage) {
  DataSetSpec wanted;
  int32_t dataNo = AddSelectedCompany(host_, wanted);
  StSaveTaxInfo saved = MatchingReturn(wanted);
  saved.hikazeiUriageYuukaZeinuki8 = INT64_MAX / 10;
  host_.SaveReturn(dataNo, saved);
  Program().ListenAsWindow(4660);
  ProgramRunResult result =
      RunWith({ClickStep(kSavedValuesRadio), TypeStep(kOutputPathEdit, OutWindows("saved.xml")),
               ClickStep(kRunButton), AnswerStep("ok", "失敗しました"_sjis)},
              {"4660,1025,9,"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(Mismatches(result), "");
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].value("text", ""),
            Utf8("金額が処理できる範囲を超えたため、消費税情報の出力に失敗しました。\n\n"
                 "アプリケーションを終了します。"_sjis));
  EXPECT_EQ(messages[0].value("caption", ""), Utf8("消費税"_sjis));
  EXPECT_EQ(messages[0].value("icon", ""), "warning");
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(9, 2));
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
  // Neither a report nor its temporary file is left.
  EXPECT_TRUE(std::filesystem::is_empty(OutPosix("")));
}

}  // namespace
}  // namespace taxlink::testing
