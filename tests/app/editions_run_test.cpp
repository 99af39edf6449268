// The three editions: each announces its own application type to the host
// and writes its own product name and remembered-path file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;

struct EditionCase {
  const char* program;
  const char* appType;
  const char* otherAppType;  // a host set up for another edition
  const char* productName;
  const char* envFile;
};

const EditionCase kEditions[] = {
    {"TaxLinkAlto", "3", "0", "Marvesta１８ Alto"_sjis, "TaxLinkAlto.env"},
    {"TaxLinkStd", "0", "4", "Marvesta１８"_sjis, "TaxLinkStd.env"},
    {"TaxLinkSerena", "4", "3", "Marvesta１８ Serena"_sjis, "TaxLinkSerena.env"},
};

class EditionRunTest : public ProgramRunTest, public ::testing::WithParamInterface<EditionCase> {
 protected:
  void SetUp() override { UseProgram(GetParam().program); }
};

TEST_P(EditionRunTest, WritesItsOwnNameAndRememberedPathFile) {
  const EditionCase& c = GetParam();
  AddSelectedCompany(host_);
  host_.AddJournal(Sale(20140410, 1000, 80));
  host_.SetState("edition", c.appType);
  const std::string path = OutWindows("tax.xml");
  std::vector<std::string> steps = JournalRunSteps(path);
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult result = RunWith(steps);

  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  std::string report = ReadFileBytes(OutPosix("tax.xml"));
  EXPECT_EQ(ElementText(report, "PROGRAMNAME"), c.productName);
  for (const EditionCase& other : kEditions) {
    std::string remembered = RememberedPathFileOf(host_, other.envFile);
    if (std::string(other.envFile) == c.envFile) {
      EXPECT_EQ(remembered, "U01/1/1:0/4/3/" + path + "\n");
    } else {
      EXPECT_EQ(remembered, "") << other.envFile;
    }
  }
}

TEST_P(EditionRunTest, HostOfAnotherEditionRefusesTheLink) {
  const EditionCase& c = GetParam();
  AddSelectedCompany(host_);
  host_.SetState("edition", c.otherAppType);
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith({}, {"4660,1025,7,"});
  EXPECT_EQ(result.exitCode, 3);  // refused, nothing done
  EXPECT_TRUE(result.transcript.empty());
  EXPECT_TRUE(result.windowMessages.empty());
}

TEST_P(EditionRunTest, SixthTypeMessageNamesTheProduct) {
  const EditionCase& c = GetParam();
  DataSetSpec wanted;
  wanted.filingClass = 1;
  wanted.mainBusinessType = 2;
  AddSelectedCompany(host_, wanted);
  host_.AddJournal(Sale(20140410, 1000, 80, 800, 6));
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
  steps.push_back(AnswerStep("ok", "第六種事業"_sjis));
  ProgramRunResult result = RunWith(steps);
  EXPECT_EQ(result.exitCode, 1);
  std::vector<std::string> texts = MessageTexts(result);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(Utf8(std::string("\n") + c.productName + " の以下の機能"_sjis)),
            std::string::npos)
      << texts[0];
}

INSTANTIATE_TEST_SUITE_P(Editions, EditionRunTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<EditionCase>& test) {
                           return std::string(test.param.program);
                         });

}  // namespace
}  // namespace taxlink::testing
