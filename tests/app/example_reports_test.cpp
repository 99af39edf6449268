// The reports of the shipped example data sets, byte for byte against
// tests/app/golden/ (TAXLINK_UPDATE_GOLDEN=1 rewrites them after a change
// whose figures were checked by hand).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

struct ExampleCase {
  const char* name;
  const char* file;  // under examples/
  const char* user;
  int dataNo;
  int startMonth = 0;  // 0: the months the dialog offers (the whole year)
  int endMonth = 0;
};

class ExampleReportTest : public ProgramRunTest, public ::testing::WithParamInterface<ExampleCase> {
 protected:
  // Imports through the mvhost tool, as a newcomer does.
  void Import(const ExampleCase& c) {
    const std::string mvhost = BinaryFolder() + "/mvhost";
    const std::string prefix = "MVHOST_HOME='" + host_.Home() + "' '" + mvhost + "' ";
    for (const std::string& args :
         {"import '" + std::string(TAXLINK_SOURCE_DIR) + "/examples/" + c.file + "'",
          "select " + std::string(c.user) + " " + std::to_string(c.dataNo),
          "state current_user " + std::string(c.user)}) {
      ASSERT_EQ(std::system((prefix + args + " >/dev/null").c_str()), 0) << args;
    }
  }
};

TEST_P(ExampleReportTest, ReportMatchesTheGoldenFile) {
  const ExampleCase& c = GetParam();
  Import(c);
  std::vector<std::string> steps =
      JournalRunSteps(OutWindows("report.xml"), c.startMonth, c.endMonth);
  steps.push_back(AnswerStep("ok", "出力が終了しました"_sjis));
  // sakura's run also writes its trace: the worked examples of
  // docs/report-elements.md are made from it.
  const bool traced = std::string(c.name) == "sakura";
  ProgramRunResult result =
      RunWith(steps, {}, {traced ? "TAXLINK_TRACE=" + OutPosix("trace.json") : "TAXLINK_TRACE="});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");

  const std::string report = ReadFileBytes(OutPosix("report.xml"));
  const std::string golden =
      std::string(TAXLINK_SOURCE_DIR) + "/tests/app/golden/" + c.name + ".xml";
  if (std::getenv("TAXLINK_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(golden, std::ios::binary) << report;
  }
  EXPECT_EQ(report, ReadFileBytes(golden)) << "differs from " << golden;
  if (!traced) return;

  // The trace byte for byte as the program wrote it (so the stored one opens in
  // taxlink-sheet), but for the time it was written: that field is set to the
  // golden one's before comparing.
  std::string trace = ReadFileBytes(OutPosix("trace.json"));
  const std::string timeKey = "\"time\":\"";
  const std::size_t time = trace.find(timeKey);
  ASSERT_NE(time, std::string::npos);
  const std::size_t timeEnd = trace.find('"', time + timeKey.size());
  ASSERT_NE(timeEnd, std::string::npos);
  trace.replace(time + timeKey.size(), timeEnd - time - timeKey.size(), "2015-05-20T05:03:07Z");
  const std::string goldenTrace =
      std::string(TAXLINK_SOURCE_DIR) + "/tests/app/golden/" + c.name + ".trace.json";
  if (std::getenv("TAXLINK_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(goldenTrace, std::ios::binary) << trace;
  }
  EXPECT_EQ(trace, ReadFileBytes(goldenTrace)) << "differs from " << goldenTrace;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExampleReportTest,
    ::testing::Values(ExampleCase{"sakura", "standard-corporation/sakura.json", "sakura", 1},
                      // The first half year, the earlier report of the sheet's comparison.
                      ExampleCase{"sakura-4-9", "standard-corporation/sakura.json", "sakura", 1, 4,
                                  9},
                      ExampleCase{"midori", "simplified-corporation/midori.json", "midori", 2},
                      ExampleCase{"aoba", "individual/aoba.json", "aoba", 3}),
    [](const ::testing::TestParamInfo<ExampleCase>& test) {
      std::string name = test.param.name;
      std::erase(name, '-');
      return name;
    });

}  // namespace
}  // namespace taxlink::testing
