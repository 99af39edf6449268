// The front ends are modules beside the program, loaded only when chosen: a
// scripted run maps neither Qt nor curses and writes the same report
// without them, and a chosen front end whose module is missing or broken
// says so and gives the run the fallback of an unavailable front end.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;

class FrontEndModulesTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    AddSelectedCompany(host_);
    host_.AddJournal(Sale(20140410, 1000, 80));
  }

  // Runs with the maps probe preloaded; mapped gets the Qt and curses lines
  // of the process's maps at its end (the probe must have run).
  ProgramRunResult RunProbed(const std::vector<std::string>& steps,
                             std::vector<std::string> environment, std::string* mapped) {
    std::string out = Program().workFolder() + "/maps.txt";
    environment.push_back("LD_PRELOAD=" TAXLINK_MAPS_PROBE);
    environment.push_back("TAXLINK_TEST_MAPS_OUT=" + out);
    // Under the sanitizers the probe comes before their runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    environment.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") +
                          ":verify_asan_link_order=0");
    ProgramRunResult result = RunWith(steps, {}, environment);
    *mapped = ReadFileBytes(out);
    EXPECT_TRUE(mapped->ends_with("end\n")) << "the maps probe did not run: " << *mapped;
    return result;
  }

  std::vector<std::string> WrittenRunSteps() {
    std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
    steps.push_back(AnswerStep("ok", kClosing));
    return steps;
  }
};

TEST_F(FrontEndModulesTest, AScriptedRunMapsNoFrontEndAndWritesTheSameReportWithoutTheModules) {
  std::string mapped;
  ProgramRunResult withModules = RunProbed(WrittenRunSteps(), {}, &mapped);
  ASSERT_EQ(withModules.exitCode, 0) << withModules.standardError;
  EXPECT_EQ(mapped, "end\n");
  std::string report = ReadFileBytes(OutPosix("tax.xml"));
  ASSERT_FALSE(report.empty());
  ASSERT_EQ(std::remove(OutPosix("tax.xml").c_str()), 0);

  Program().RemoveFrontEndModules();
  ProgramRunResult without = RunProbed(WrittenRunSteps(), {}, &mapped);
  ASSERT_EQ(without.exitCode, 0) << without.standardError;
  EXPECT_EQ(mapped, "end\n");
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), report);
  EXPECT_EQ(without.standardError, withModules.standardError);
}

struct ChosenCase {
  const char* frontEnd;
  const char* library;  // what the loaded module maps
  // Makes the front end unavailable here (the terminal has no terminal
  // under the tests anyway).
  std::vector<std::string> environment;
};

void PrintTo(const ChosenCase& c, std::ostream* out) { *out << c.frontEnd; }

class ChosenFrontEndTest : public FrontEndModulesTest,
                           public ::testing::WithParamInterface<ChosenCase> {
 protected:
  void SetUp() override {
    FrontEndModulesTest::SetUp();
    std::string file = std::string("taxlink-") + GetParam().frontEnd + ".so";
    bool built = false;
    for (const std::string& module : FrontEndModuleFiles()) built = built || module == file;
    if (!built)
      GTEST_SKIP() << "the programs are built without the " << GetParam().frontEnd << " front end";
    modulePath_ = Program().programFolder() + "/" + file;
  }

  ProgramRunResult RunChosen(std::string* mapped) {
    std::vector<std::string> environment = GetParam().environment;
    environment.push_back(std::string("TAXLINK_UI=") + GetParam().frontEnd);
    return RunProbed({}, environment, mapped);
  }

  std::string modulePath_;
};

TEST_P(ChosenFrontEndTest, AMissingOrBrokenModuleSaysSoAndFallsBackAsAnUnavailableFrontEnd) {
  const ChosenCase& c = GetParam();
  std::string mapped;
  ProgramRunResult unavailable = RunChosen(&mapped);
  EXPECT_NE(mapped.find(c.library), std::string::npos) << "the module was not loaded: " << mapped;
  EXPECT_EQ(unavailable.standardError.find("cannot be loaded"), std::string::npos)
      << unavailable.standardError;

  const std::string prefix =
      std::string("taxlink: the ") + c.frontEnd + " front end cannot be loaded: ";
  Program().RemoveFrontEndModules();
  ProgramRunResult missing = RunChosen(&mapped);
  EXPECT_EQ(mapped, "end\n");
  EXPECT_NE(
      missing.standardError.find(prefix + modulePath_ +
                                 ": cannot open shared object file: No such file or directory\n"),
      std::string::npos)
      << missing.standardError;
  EXPECT_EQ(missing.exitCode, unavailable.exitCode);
  EXPECT_EQ(missing.transcript, unavailable.transcript);

  Program().WriteProgramFile(std::string("taxlink-") + c.frontEnd + ".so", "not a module\n");
  ProgramRunResult broken = RunChosen(&mapped);
  EXPECT_EQ(mapped, "end\n");
  EXPECT_NE(broken.standardError.find(prefix + modulePath_ + ": "), std::string::npos)
      << broken.standardError;
  EXPECT_EQ(broken.exitCode, unavailable.exitCode);
}

INSTANTIATE_TEST_SUITE_P(FrontEnds, ChosenFrontEndTest,
                         ::testing::Values(ChosenCase{"desktop",
                                                      "libQt6Widgets",
                                                      {"DISPLAY=:9999",
                                                       "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"}},
                                           ChosenCase{"terminal", "libncursesw", {}}),
                         [](const auto& test) { return std::string(test.param.frontEnd); });

}  // namespace
}  // namespace taxlink::testing
