// Every host call the fault-injecting host can fail, failed throughout a run
// of each example data set. The run either writes exactly the report of a
// run without the fault, or fails with no report and nothing remembered; it
// never writes other figures and never stops with a refusal. The runs are
// made in this process: the host is the seam.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "tests/hosts/FaultPoint.h"
#include "tests/support/InProcessRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

// The code each faulty call returns: the store locked past the host's wait.
constexpr char kFaultCode[] = "-3005";
// The messages a failed run may show: the host's for that code, and the
// host's for a rule object it could not create.
const char* const kInUse =
    "会計データは他の処理で使用中です。\nしばらくしてから、もう一度実行してください。"
    "\n\nエラーコード: -3005"_sjis;
const char* const kNotCreated =
    "処理に必要なオブジェクトを作成できませんでした。\n\nエラーコード: -1001"_sjis;

class FaultPointRunTest : public ::testing::TestWithParam<ExampleDataSet> {};

TEST_P(FaultPointRunTest, WritesTheSameReportOrFails) {
  ExampleRunHome home(GetParam());
  ASSERT_TRUE(home.ready()) << home.error();
  const InProcessRunEnd clean = home.Run();
  ASSERT_EQ(clean.exitStatus, 0) << clean.standardError;
  ASSERT_EQ(clean.mismatches, 0u) << clean.standardError;
  ASSERT_NE(clean.report, "");
  ASSERT_NE(clean.remembered, "");

  std::map<int, int> outcomes;
  for (size_t i = 0; i < hosts::kFaultPointCount; ++i) {
    const std::string name(hosts::NameOf(static_cast<hosts::FaultPoint>(i)));
    SCOPED_TRACE(name);
    const InProcessRunEnd end = home.Run(name + "=" + kFaultCode);
    ++outcomes[end.exitStatus];
    switch (end.exitStatus) {
      case 0:
        // Written: with exactly the figures of the run without the fault.
        // Without the host's folders the conditions are neither read nor
        // remembered, as the dialog's fallbacks say; nothing else differs.
        EXPECT_EQ(end.report, clean.report) << end.standardError;
        EXPECT_EQ(end.remembered,
                  name == "ClFileMgr::GetAppFolderPath" ? std::string() : clean.remembered);
        break;
      case 2:
        // Failed: no report, nothing remembered, and no message but the
        // host's for the failure.
        EXPECT_EQ(end.report, "");
        EXPECT_EQ(end.remembered, "");
        for (const std::string& message : end.messages) {
          EXPECT_TRUE(message == Utf8(kInUse) || message == Utf8(kNotCreated)) << message;
        }
        break;
      case 3:
        // The link itself refused: nothing done.
        EXPECT_EQ(name, "ClAccConnect::Initiate");
        EXPECT_EQ(end.report, "");
        break;
      default:
        ADD_FAILURE() << "ended with " << end.exitStatus << " after the messages "
                      << ::testing::PrintToString(end.messages) << "\n"
                      << end.standardError;
    }
  }
  EXPECT_EQ(outcomes[3], 1);
  std::printf("  %d written, %d failed, %d refused link of %zu fault points\n", outcomes[0],
              outcomes[2], outcomes[3], hosts::kFaultPointCount);
}

INSTANTIATE_TEST_SUITE_P(Examples, FaultPointRunTest, ::testing::ValuesIn(kExampleRuns),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace taxlink::testing
