#ifndef TAXLINK_CONDITIONS_PERIODMONTHRANGE_H_
#define TAXLINK_CONDITIONS_PERIODMONTHRANGE_H_

#include <cstdint>

#include "status/Status.h"

namespace taxlink {

// The accounting months of a period (yyyymmdd dates): firstMonth is the
// month that names the accounting month holding periodStart under the
// period's closing day; lastMonth is the calendar month of periodEnd, plus
// 100 when the period runs into the next calendar year (April to March gives
// 4 and 103). Either output may be null. Ok, or the host call that failed;
// nothing is written then (months from a period the host could not set up
// would select other months' lines).
Status GetPeriodMonthRange(int32_t periodStart, int32_t periodEnd, int16_t* firstMonth,
                           int16_t* lastMonth);

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_PERIODMONTHRANGE_H_
