#ifndef TAXLINK_AGGREGATION_PASSCONTEXT_H_
#define TAXLINK_AGGREGATION_PASSCONTEXT_H_

#include "aggregation/AccountList.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/CachedRules.h"
#include "aggregation/ReturnLineTrace.h"
#include "aggregation/TaxSettings.h"
#include "host/StDATAINFO.h"
#include "host/StFINDINFO.h"

namespace taxlink {

class ProgressSink;

// What the passes of one aggregation share: the run's inputs, the
// month-range filter and what it selects, the progress sink, the cached
// rule objects and the account list the last pass selected; with a trace,
// the host's return lines still to be handed over (null without).
struct PassContext {
  const StDATAINFO& dataSet;
  const TaxSettings& settings;
  const StFINDINFO& filter;
  MonthRange range;
  ProgressSink& progress;
  CachedRules& rules;
  AccountList& accounts;
  ReturnLineTrace* returnLines;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_PASSCONTEXT_H_
