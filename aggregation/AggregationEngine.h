#ifndef TAXLINK_AGGREGATION_AGGREGATIONENGINE_H_
#define TAXLINK_AGGREGATION_AGGREGATIONENGINE_H_

#include <cstdint>

#include "aggregation/AccountList.h"
#include "aggregation/CachedRules.h"
#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StDATAINFO.h"
#include "host/StFINDINFO.h"
#include "host/TaxLineTrace.h"
#include "status/Status.h"

namespace taxlink {

class FigureTrace;
class ProgressSink;
struct PassContext;

// One journal aggregation: the figures of the selected data set for the
// calendar months startMonth..endMonth (1..12), summed by the host's
// services. The passes run in the order SumTaxReturn, WalkLegacyRates, the
// corporate and the individual refund lines, each after a quarter of the
// overall progress. The host rule objects it creates are kept until the
// engine is destroyed.
class AggregationEngine {
 public:
  AggregationEngine(const StDATAINFO& dataSet, int startMonth, int endMonth,
                    const TaxSettings& settings);
  ~AggregationEngine();
  AggregationEngine(const AggregationEngine&) = delete;
  AggregationEngine& operator=(const AggregationEngine&) = delete;

  // The month-range filter that every walk is given; valid when
  // filterStatus() is ok (the period's months come from the host).
  const StFINDINFO& filter() const { return filter_; }
  const Status& filterStatus() const { return filterStatus_; }

  // Runs the passes. On success *tables holds the figures (rate rows as the
  // host reported them, at least three); on the first host failure (or
  // without a filter) the passes stop, the status names it and *tables is
  // left as it was. trace,
  // when given, receives every amount added to the figures the program
  // sums itself; lines, when given, every side of a journal line that the
  // host's return summation adds into the rate rows (handed over by the
  // first pass that walks the lines, as it passes them, or after the passes
  // when none does; then lines is told Ended).
  Status Run(ProgressSink& progress, TaxSummaryTables* tables, FigureTrace* trace = nullptr,
             TaxLineSink* lines = nullptr);

  // The accounts the last pass selected.
  const AccountList& accounts() const { return accounts_; }

 private:
  template <class Trace>
  Status RunPasses(PassContext& context, TaxSummaryTables& tables, Trace trace);
  Status SumTaxReturn(PassContext& context, TaxSummaryTables& tables);
  template <class Trace>
  Status WalkLegacyRates(PassContext& context, int64_t legacyRateSums[2], Trace trace);

  StDATAINFO dataSet_;
  TaxSettings settings_;
  StFINDINFO filter_;
  Status filterStatus_;
  CachedRules rules_;
  AccountList accounts_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_AGGREGATIONENGINE_H_
