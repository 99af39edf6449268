#ifndef TAXLINK_BENCH_BENCHHOME_H_
#define TAXLINK_BENCH_BENCHHOME_H_

#include <cstdint>
#include <memory>
#include <string>

#include "aggregation/ProgressSink.h"
#include "aggregation/RuleObjects.h"
#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StDATAINFO.h"
#include "status/Status.h"

namespace taxlink::bench {

// The shape of the generated data set: a corporation under standard taxation
// whose accounting year runs from 2014-04-01 to 2015-03-31 with an interim
// closing, at the rates 8 %, 5 % and 3 %.
struct BenchDataSetShape {
  int32_t journalLines = 1000000;
  int32_t accounts = 300;
  int32_t departments = 50;
};

// A host home with one generated data set, selected for the current user.
struct BenchHome {
  std::string home;  // the folder MVHOST_HOME names
  int32_t dataNo = 0;
  std::string dataId;  // Shift_JIS
  int32_t journalLines = 0;
  StDATAINFO dataSet{};  // as the host hands it out

  // Makes this home the host's (registers the embedded host and sets
  // MVHOST_HOME).
  void Activate() const;
};

// Opens the cached home for a shape under the build's bench-data folder (or
// $TAXLINK_BENCH_DATA when set), generating it first when it is missing or
// was left incomplete. The store's schema is applied on every open, so a
// cached store gets the indexes of the current schema. Exits the process with
// a message on any failure: a benchmark without its data is meaningless.
const BenchHome& CachedBenchHome(const BenchDataSetShape& shape = {});

// What a journal aggregation of the home reads before its passes: the
// consumption-tax settings with the number of tax rates, set to standard
// taxation. False when the host cannot read them.
bool PrepareJournalAggregation(const BenchHome& home, TaxSettings* settings);

// The journal aggregation of the calendar months startMonth..endMonth into
// *tables, as the run has the engine do it, with progress reported to
// progress (none by default).
Status RunJournalPasses(const BenchHome& home, const TaxSettings& settings,
                        TaxSummaryTables* tables, int startMonth = 4, int endMonth = 3,
                        ProgressSink& progress = ProgressSink::None());

// The folder the data sets are generated into: TAXLINK_BENCH_DATA, or
// bench-data in the build folder.
std::string BenchDataFolder();

// For programs with their own command line: with --help (or -h) among args
// prints usage (and where the data sets go) and ends the process with 0;
// with an argument accept refuses, says so and ends it with 2. Both before
// anything is generated.
void CheckBenchArguments(int argc, char** argv, const char* usage,
                         bool (*accept)(const std::string& argument));

// Whether argument is a whole number of lines, 1 or more.
bool IsLineCount(const std::string& argument);

// Ends the process with a message: a benchmark without its data or its
// host objects is meaningless.
[[noreturn]] void FailBench(const std::string& what);

// A prepared rule object of the active home; exits the process when the
// host cannot make one.
template <class Rule>
std::unique_ptr<Rule> PreparedRule() {
  std::unique_ptr<Rule> rule;
  Status status = CreateRuleObject(&rule);
  if (!status.ok()) FailBench("no rule object: " + status.ToString());
  return rule;
}

}  // namespace taxlink::bench

#endif  // TAXLINK_BENCH_BENCHHOME_H_
