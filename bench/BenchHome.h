#ifndef TAXLINK_BENCH_BENCHHOME_H_
#define TAXLINK_BENCH_BENCHHOME_H_

#include <cstdint>
#include <string>

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"

namespace taxlink {
class LinkApp;
}

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
  std::string home;      // the folder MVHOST_HOME names
  int32_t dataNo = 0;
  std::string dataId;    // Shift_JIS
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

// What a journal aggregation of the home reads before its passes: the tax
// settings, and the number of tax rates (the rows of app.tables); app is set
// to standard taxation. False when the host cannot read the settings.
bool PrepareJournalAggregation(const BenchHome& home, LinkApp& app, StSHOHIZEIINFO* settings,
                               int16_t* rateRows);

// The four journal passes over the calendar months startMonth..endMonth into
// app.tables (allocated afresh with rateRows rows), as the run calls them
// without its progress steps; the legacy-rate sums go to the tables too.
// 0 when every pass ran to the end, else the host error of the first that did
// not (-1 when it failed without one).
int32_t RunJournalPasses(const BenchHome& home, LinkApp& app, const StSHOHIZEIINFO& settings,
                         int16_t rateRows, int startMonth = 4, int endMonth = 3);

}  // namespace taxlink::bench

#endif  // TAXLINK_BENCH_BENCHHOME_H_
