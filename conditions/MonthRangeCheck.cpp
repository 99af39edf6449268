#include "conditions/MonthRangeCheck.h"

namespace taxlink {

MonthField FindMonthRangeFault(int16_t startMonth, int16_t endMonth, int16_t firstMonth,
                               int16_t lastMonth) {
  const int s = startMonth;
  const int e = endMonth;
  if (s > 12 || s < 1) return MonthField::kStart;
  if (e > 12 || e < 1) return MonthField::kEnd;

  const int f = firstMonth;
  int l = lastMonth;
  const bool crossesYear = l / 100 != 0;
  if (crossesYear) l %= 100;

  if (!crossesYear) {
    if (s < f) return MonthField::kStart;
    if (e > l) return MonthField::kStart;
    if (f >= 1 && l <= 12 && s > e) return MonthField::kStart;
    return MonthField::kNone;
  }
  if (f < s && s <= 12 && f <= e && e < s) return MonthField::kEnd;
  if (1 <= s && s <= l && (s > e || e > l)) return MonthField::kEnd;
  if (l < s && s < f) return MonthField::kStart;
  if (l < e && e < f) return MonthField::kStart;
  return MonthField::kNone;
}

}  // namespace taxlink
