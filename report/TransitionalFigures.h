#ifndef TAXLINK_REPORT_TRANSITIONALFIGURES_H_
#define TAXLINK_REPORT_TRANSITIONALFIGURES_H_

namespace taxlink {

struct TaxSettings;
struct TaxSummaryTables;

// True when the aggregation found figures at the older rates: any figure of
// the rate rows between the 8 % row and the last row, the 3 % legacy-rate
// sum, or any business-type figure of those rows, with the rate count the
// host reported (false without a consumption-tax set object). Only rows that
// were allocated are read.
bool HasTransitionalFigures(const TaxSummaryTables& tables, const TaxSettings& settings);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_TRANSITIONALFIGURES_H_
