// `mvhost launch --sheet`: the host writes the check sheet beside the report
// of a written run and says where, and writes none for a run that stopped.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"

namespace taxlink::testing {
namespace {

const char kClosing[] = "消費税情報の出力が終了しました。";

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
    ProgramRunResult result = RunWith(
        {TypeStep(kOutputPathEdit, OutWindows(name + ".xml")), ClickStep(kRunButton),
         AnswerStep("ok", kClosing)},
        {}, environment);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const std::string sheet = OutPosix(name + ".html");
    EXPECT_NE(result.standardOutput.find("result: 0 written\nsheet: " + sheet + "\n"),
              std::string::npos)
        << result.standardOutput;
    EXPECT_NE(ReadFileBytes(sheet).find(Utf8("<h1>消費税 連動データ 確認表</h1>")),
              std::string::npos);
  }
}

TEST_F(LaunchSheetRunTest, AStoppedRunGetsNone) {
  ProgramRunResult result = RunWith({KeyStep("Esc"), AnswerStep("ok")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardOutput.find("sheet:"), std::string::npos) << result.standardOutput;
}

}  // namespace
}  // namespace taxlink::testing
