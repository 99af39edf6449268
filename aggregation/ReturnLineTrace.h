#ifndef TAXLINK_AGGREGATION_RETURNLINETRACE_H_
#define TAXLINK_AGGREGATION_RETURNLINETRACE_H_

#include <cstdint>

#include "host/StTAXREPORTRATEINFO.h"
#include "host/TaxLineTrace.h"

namespace taxlink {

// The sides of the lines that the host's return summation adds up, asked
// for a trace: the first pass that walks the journal lines has the host hand
// them over as it passes each line (ClRuleShiwake::TraceReady), so that the
// lines are read once; a run whose passes walk no lines asks the summation
// for them after the passes (ClRuleShohizeiShinkoku::TraceTax).
struct ReturnLineTrace {
  TaxLineSink* sink;
  uint8_t filingClass;
  const StTAXREPORTRATEINFO* rates;  // the rate rows' labels, as for SumTax
  bool handedOver;                   // every side went to sink (told Ended)
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RETURNLINETRACE_H_
