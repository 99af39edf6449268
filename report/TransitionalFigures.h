#ifndef TAXLINK_REPORT_TRANSITIONALFIGURES_H_
#define TAXLINK_REPORT_TRANSITIONALFIGURES_H_

class ClSetShohizei;

namespace taxlink {

struct TaxSummaryTables;

// True when the aggregation found figures at the older rates: any figure of
// the rate rows between the 8 % row and the last row, the 3 % legacy-rate
// sum, or any business-type figure of those rows, with the rate count from
// the host's consumption-tax set object taxSet (null: false). Only rows that
// were allocated are read.
bool HasTransitionalFigures(const TaxSummaryTables& tables, ClSetShohizei* taxSet);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_TRANSITIONALFIGURES_H_
