#ifndef TAXLINK_TESTS_SUPPORT_INPROCESSRUN_H_
#define TAXLINK_TESTS_SUPPORT_INPROCESSRUN_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/PlatformTestEnv.h"

namespace taxlink::testing {

// One of the example data sets of examples/, and a run over its whole
// accounting year.
struct ExampleDataSet {
  const char* name;
  const char* file;  // under examples/
  const char* user;
  int dataNo;
  int startMonth;
  int endMonth;
  bool fromSavedReturn;  // the run takes the saved return's figures
};

// Each example by journals over its year, and sakura (the one with a saved
// return) from its saved return.
inline constexpr ExampleDataSet kExampleRuns[] = {
    {"sakuraByJournals", "standard-corporation/sakura.json", "sakura", 1, 4, 3, false},
    {"sakuraFromSavedReturn", "standard-corporation/sakura.json", "sakura", 1, 4, 3, true},
    {"midoriByJournals", "simplified-corporation/midori.json", "midori", 2, 4, 3, false},
    {"aobaByJournals", "individual/aoba.json", "aoba", 3, 1, 12, false},
};

// What one run left behind.
struct InProcessRunEnd {
  int exitStatus = -1;  // as main would exit: runResult, or 3 for a refused link
  std::string report;
  std::string remembered;             // the remembered-path file
  std::vector<std::string> messages;  // UTF-8
  std::size_t mismatches = 0;         // script steps that did not fit
  std::string standardError;
};

// A temporary folder with a host home that holds one example data set,
// selected by its user, and an output folder. Runs are made in the test
// process as the program's main makes them (LinkApp, the scripted front
// end, the host the test program registered), from a copy of the test
// program's folder: that folder must hold VelzoDef.ini.
class ExampleRunHome {
 public:
  explicit ExampleRunHome(const ExampleDataSet& example);
  ~ExampleRunHome();
  ExampleRunHome(const ExampleRunHome&) = delete;
  ExampleRunHome& operator=(const ExampleRunHome&) = delete;

  // Empty when the home could not be made; error() says why.
  bool ready() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& home() const { return home_; }

  // A run with MVHOST_FAULTS set to faults; the report and the remembered
  // file are removed first.
  InProcessRunEnd Run(const std::string& faults = std::string());

 private:
  std::string Script() const;

  ExampleDataSet example_;
  std::string folder_;
  std::string home_;
  std::string error_;
  std::unique_ptr<taxlink_test::ScopedEnv> drives_;
  std::unique_ptr<taxlink_test::ScopedEnv> homeEnv_;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_INPROCESSRUN_H_
