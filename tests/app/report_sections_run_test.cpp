// Sections that fail while the report is written: the Yes/No question of
// each, and output files that cannot be created or written.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/StSaveTaxInfo.h"
#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kSystemFailed = "システム情報の出力に失敗しました。\n\n出力を続けますか？"_sjis;
const char* const kBasicFailed = "基本情報の出力に失敗しました。\n\n出力を続けますか？"_sjis;
const char* const kDataFailed = "連動情報の出力に失敗しました。\n\n出力を続けますか？"_sjis;

class ReportSectionsRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    DataSetSpec wanted;
    int32_t dataNo = AddSelectedCompany(host_, wanted);
    host_.AddJournal(Sale(20140410, 1000, 80));
    StSaveTaxInfo saved;
    std::memset(&saved, 0, sizeof(saved));
    saved.taxationMethod = 1;
    saved.creditMethodPlus1 = 1;
    saved.periodStart = saved.monthRangeFirst = wanted.periodStart;
    saved.periodEnd = saved.monthRangeLast = wanted.periodEnd;
    saved.dataCodePlus1 = 1;
    host_.SaveReturn(dataNo, saved);
    // The limit on file sizes below also holds for the store: the run must
    // not have to build the journal totals.
    host_.BuildJournalDerived(dataNo);
  }
};

// A file-size limit of 8 KiB lets the declaration, SYSTEM and BASIC through
// (well under 1 KiB) and makes a write in the middle of DATA fail.
constexpr unsigned kBlocksBeforeData = 16;

TEST_F(ReportSectionsRunTest, DataFailsAndUserGivesUp) {
  ASSERT_TRUE(std::ofstream(OutPosix("tax.xml"), std::ios::binary) << "old report");
  Program().LimitFileSize(kBlocksBeforeData);
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith({ClickStep(kRunButton), AnswerStep("no", kDataFailed)},
                                    {"4660,1025,7," + OutWindows("tax.xml")});
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result), std::vector<std::string>{Utf8(kDataFailed)});
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(7, 2));
  // DATA was cut by the limit: the cut-off file does not replace the old
  // one, and its temporary is gone.
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "old report");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(OutPosix("")),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
}

// Going on after a failed write still leaves an incomplete file, so the run
// fails with a message naming the file instead of counting as written.
TEST_F(ReportSectionsRunTest, DataFailsAndUserGoesOn) {
  const std::string path = OutWindows("tax.xml");
  Program().LimitFileSize(kBlocksBeforeData);
  ProgramRunResult result =
      RunWith({TypeStep(kOutputPathEdit, path), ClickStep(kRunButton),
               AnswerStep("yes", kDataFailed), AnswerStep("ok", "出力ファイル"_sjis)});
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(
      MessageTexts(result),
      (std::vector<std::string>{Utf8(kDataFailed),
                                Utf8("出力ファイルへの書き込みに失敗しました。\n\n"_sjis + path)}));
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
}

struct FileFaultCase {
  const char* name;
  bool savedValues;
  bool fullDevice;  // else a link into a missing folder
};

class UnwritableFileRunTest : public ReportSectionsRunTest,
                              public ::testing::WithParamInterface<FileFaultCase> {};

// A report file that cannot be created or written is never counted as
// written: after the three questions the user is told and the run fails.
TEST_P(UnwritableFileRunTest, AsksEachSectionThenFailsNamingThePath) {
  const FileFaultCase& c = GetParam();
  std::string path;
  std::string finalMessage;
  if (c.fullDevice) {
    path = "C:\\dev\\full";
    finalMessage = "出力ファイルへの書き込みに失敗しました。\n\n"_sjis + path;
  } else {
    // Even root cannot create a file through a link into a missing folder.
    ASSERT_EQ(::symlink(OutPosix("missing/tax.xml").c_str(), OutPosix("tax.xml").c_str()), 0);
    path = OutWindows("tax.xml");
    finalMessage = "出力ファイルを作成できませんでした。\n\n"_sjis + path;
  }
  std::vector<std::string> steps;
  if (c.savedValues) steps.push_back(ClickStep(kSavedValuesRadio));
  steps.push_back(ClickStep(kRunButton));
  for (const char* question : {kSystemFailed, kBasicFailed, kDataFailed}) {
    steps.push_back(AnswerStep("yes", question));
  }
  steps.push_back(AnswerStep("ok", "出力ファイル"_sjis));
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith(steps, {"4660,1025,7," + path});

  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result),
            (std::vector<std::string>{Utf8(kSystemFailed), Utf8(kBasicFailed), Utf8(kDataFailed),
                                      Utf8(finalMessage)}));
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  EXPECT_EQ(messages.back().value("icon", ""), "warning");
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(7, 2));
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
}

INSTANTIATE_TEST_SUITE_P(Files, UnwritableFileRunTest,
                         ::testing::Values(FileFaultCase{"JournalsNotCreated", false, false},
                                           FileFaultCase{"SavedValuesNotCreated", true, false},
                                           FileFaultCase{"JournalsDiskFull", false, true},
                                           FileFaultCase{"SavedValuesDiskFull", true, true}),
                         [](const ::testing::TestParamInfo<FileFaultCase>& test) {
                           return test.param.name;
                         });

}  // namespace
}  // namespace taxlink::testing
