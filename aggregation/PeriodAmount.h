#ifndef TAXLINK_AGGREGATION_PERIODAMOUNT_H_
#define TAXLINK_AGGREGATION_PERIODAMOUNT_H_

#include <cstdint>

#include "aggregation/AggregationFilter.h"
#include "host/StKAMOKUSUMINFO.h"

namespace taxlink {

// Debit and credit totals of an account-sum record over the month range:
// entries S..E, plus entry 13 (year-end closing adjustment) when the range
// selects month kind 18, plus entry 14 (interim closing adjustment) when the
// data set keeps an interim closing and S <= 6 <= E, as the host's month-kind
// order selects it. taxIncluded picks the
// tax-included arrays. The debit total uses the bounded Decimal4 addition
// (Decimal4Overflow at 10^18 raw units); the credit total has no bound.
struct PeriodTotals {
  int64_t debit = 0;
  int64_t credit = 0;
};
PeriodTotals SumPeriodEntries(const StKAMOKUSUMINFO& record, const MonthRange& range,
                              bool interimClosing, bool taxIncluded);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_PERIODAMOUNT_H_
