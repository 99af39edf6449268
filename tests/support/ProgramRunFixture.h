#ifndef TAXLINK_TESTS_SUPPORT_PROGRAMRUNFIXTURE_H_
#define TAXLINK_TESTS_SUPPORT_PROGRAMRUNFIXTURE_H_

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/HostFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/ReportValidation.h"

namespace taxlink::testing {

// A host home, a private copy of a program and an output folder for the
// report; the base of the tests that run the real executables.
class ProgramRunTest : public ::testing::Test {
 protected:
  explicit ProgramRunTest(const std::string& program = "TaxLinkAlto",
                          ProgramBuild build = ProgramBuild::kRelease)
      : run_(std::make_unique<ProgramRun>(program, build)) {
    outFolder_ = run_->workFolder() + "/out";
    ::mkdir(outFolder_.c_str(), 0755);
  }

  // Replaces the program under test (another edition, or another build).
  void UseProgram(const std::string& program, ProgramBuild build = ProgramBuild::kRelease) {
    run_ = std::make_unique<ProgramRun>(program, build);
    outFolder_ = run_->workFolder() + "/out";
    ::mkdir(outFolder_.c_str(), 0755);
  }

  ProgramRun& Program() { return *run_; }
  // POSIX and Windows paths of a file in the output folder.
  std::string OutPosix(const std::string& name) const { return outFolder_ + "/" + name; }
  std::string OutWindows(const std::string& name) const { return WindowsPathOf(OutPosix(name)); }

  // Runs with the given script and arguments against the fixture's home.
  // The report of a written run must pass the report's schema.
  ProgramRunResult RunWith(const std::vector<std::string>& steps,
                           const std::vector<std::string>& args = {},
                           const std::vector<std::string>& environment = {}) {
    run_->SetUiScript(steps);
    ProgramRunResult result = run_->Run(host_.Home(), args, environment);
    if (checkReports_) {
      EXPECT_EQ(WrittenReportProblem(result), "") << "the written report";
    }
    return result;
  }

  // For runs that write a report the schema refuses on purpose (a section
  // given up with Yes).
  void AcceptReportsOutsideTheSchema() { checkReports_ = false; }

  HostFixture host_;

 private:
  std::unique_ptr<ProgramRun> run_;
  std::string outFolder_;
  bool checkReports_ = true;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_PROGRAMRUNFIXTURE_H_
