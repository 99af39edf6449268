#ifndef TAXLINK_CONDITIONS_MONTHRANGECHECK_H_
#define TAXLINK_CONDITIONS_MONTHRANGECHECK_H_

#include <cstdint>

namespace taxlink {

// The month field that a refused range is blamed on.
enum class MonthField { kNone, kStart, kEnd };

// Checks a month range against the period's months as GetPeriodMonthRange
// gives them (lastMonth above 100 for a period that runs into the next
// calendar year). Each month must be 1..12; in a year-crossing period the
// months run firstMonth..12 and then 1..lastMonth, and the start may not come
// after the end.
MonthField FindMonthRangeFault(int16_t startMonth, int16_t endMonth, int16_t firstMonth,
                               int16_t lastMonth);

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_MONTHRANGECHECK_H_
