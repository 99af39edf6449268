// The trace of a run end to end: `mvhost launch --trace --sheet` writes the
// trace of the report it wrote (tied by its SHA-256) and a sheet whose
// figures open, the report's bytes are those of a run without a trace, and
// a trace that cannot be written fails the run.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"
#include "trace/Sha256.h"

namespace taxlink::testing {
namespace {

const char* const kClosing = "消費税情報の出力が終了しました。"_sjis;

class TraceRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    AddSelectedCompany(host_);
    host_.AddJournal({.date = 20140410,
                      .credit = {.account = kSalesAccount,
                                 .amount = 1000000LL * 10000,
                                 .tax = 80000LL * 10000,
                                 .taxClass = 1},
                      .rate = 800});
  }

  ProgramRunResult Write(const std::string& report, const std::vector<std::string>& env = {}) {
    return RunWith({TypeStep(kOutputPathEdit, OutWindows(report)), ClickStep(kRunButton),
                    AnswerStep("ok", kClosing)},
                   {}, env);
  }
};

TEST_F(TraceRunTest, ALaunchWithATraceWritesItAndASheetThatOpensTheFigures) {
  ASSERT_EQ(Write("plain.xml").exitCode, 0);
  Program().LaunchThroughHost(
      std::vector<std::string>{"--sheet", "--trace", OutPosix("traced.json")});
  const ProgramRunResult result = Write("traced.xml");
  ASSERT_EQ(result.exitCode, 0) << result.standardError;

  const std::string report = ReadBytes(OutPosix("traced.xml"));
  EXPECT_EQ(report, ReadBytes(OutPosix("plain.xml")));
  const nlohmann::json trace = nlohmann::json::parse(ReadBytes(OutPosix("traced.json")));
  EXPECT_EQ(trace["report"]["sha256"], Sha256Hex(report));
  EXPECT_EQ(trace["report"]["method"], "journals");
  ASSERT_FALSE(trace["figures"].empty());
  const std::string sheet = ReadBytes(OutPosix("traced.html"));
  const std::string first = trace["figures"][0]["group"].get<std::string>() + "-" +
                            trace["figures"][0]["element"].get<std::string>();
  EXPECT_NE(sheet.find("<details class=\"section\" id=\"trace-" + first + "\">"),
            std::string::npos);
}

TEST_F(TraceRunTest, ATraceThatCannotBeWrittenFailsTheRunAndKeepsTheReport) {
  AcceptReportsOutsideTheSchema();
  const ProgramRunResult result =
      Write("kept.xml", {"TAXLINK_TRACE=" + OutPosix("no-such-folder/trace.json")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.standardError.find("the trace file " + OutWindows("no-such-folder/trace.json") +
                                      " could not be written"),
            std::string::npos)
      << result.standardError;
  EXPECT_NE(ReadBytes(OutPosix("kept.xml")), "");
}

// The trace's temporary is open from the start of the run: a run that a
// host error ends after the lines went into it leaves neither the trace
// nor the temporary.
TEST_F(TraceRunTest, AFailedRunLeavesNoTraceAndNoTemporary) {
  UseProgram("TaxLinkAlto", ProgramBuild::kFaults);
  const ProgramRunResult result = RunWith({TypeStep(kOutputPathEdit, OutWindows("failed.xml")),
                                           ClickStep(kRunButton), AnswerStep("ok")},
                                          {},
                                          {"TAXLINK_TRACE=" + OutPosix("failed.json"),
                                           "MVHOST_FAULTS=ClRuleShohizeiShinkoku::SumTax=-5"});
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(ReadBytes(OutPosix("failed.xml")), "");
  EXPECT_FALSE(std::filesystem::exists(OutPosix("failed.json")));
  for (const auto& entry : std::filesystem::directory_iterator(OutPosix(""))) {
    EXPECT_EQ(entry.path().filename().string().rfind("trace.", 0), std::string::npos)
        << entry.path();
  }
}

}  // namespace
}  // namespace taxlink::testing
