#ifndef TAXLINK_AGGREGATION_AGGREGATIONFILTER_H_
#define TAXLINK_AGGREGATION_AGGREGATIONFILTER_H_

#include <cstdint>

#include "host/StFINDINFO.h"

namespace taxlink {

// Month kinds of the closing adjustments.
constexpr int16_t kMonthKindInterimClosing = 15;
constexpr int16_t kMonthKindYearEndClosing = 18;

// Fills the month-range filter for the calendar months startMonth..endMonth
// of an accounting year whose first calendar month is firstMonth and whose
// last is lastMonth (+100 when the year crosses a calendar year end):
//   month kind >= S and month kind <= E
//   [or month kind = 15]  when the year keeps an interim closing and E = 6
//   [or month kind = 18]  when the range ends in the year's last month
// The filter is zeroed first.
void FillMonthRangeFilter(StFINDINFO* filter, int16_t firstMonth, int16_t lastMonth,
                          bool interimClosing, int startMonth, int endMonth);

// What the passes read back from a month-range filter.
struct MonthRange {
  int16_t startKind = 0;         // S, condition 1
  int16_t endKind = 0;           // E, condition 2
  bool hasSuccessor = false;     // condition 2 links to a further condition
  int16_t successorKind = 0;     // condition 3's month kind (15 or 18), else 0
  bool includesInterim = false;  // some condition selects month kind 15
  bool includesYearEnd = false;  // some condition selects month kind 18

  // Whether the range takes the interim closing adjustment (month kind 15)
  // of a year that keeps one: kinds S..E in accounting order (1..6, 15,
  // 7..12) contain it when S <= 6 <= E; the extra condition adds it at E = 6.
  bool SelectsInterim(bool interimClosing) const {
    return interimClosing && startKind <= 6 && 6 <= endKind;
  }
  // The month kind a walk over S..(end) in accounting order ends at: 18 when
  // the range takes the year-end adjustment, 15 when it ends in month 6 and
  // takes the interim adjustment, else E.
  int16_t WalkEndKind() const;
};
MonthRange ReadMonthRange(const StFINDINFO& filter);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_AGGREGATIONFILTER_H_
