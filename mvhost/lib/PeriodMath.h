#ifndef TAXLINK_MVHOST_PERIODMATH_H_
#define TAXLINK_MVHOST_PERIODMATH_H_

#include <cstdint>
#include <vector>

namespace mvhost {

// Calendar arithmetic on yyyymmdd dates for accounting periods.
//
// Under closing day C (1..31; 31 and any day past a month's end mean the
// month's last day) the accounting month named M ends on day C of calendar
// month M and starts the day after the previous one ends. The months of a
// period run from its first day: month kind 1 ends on the first closing date
// on or after that day, and so on; the last one ends on the period's last
// day (month kind 12 takes any rest of a longer period).
namespace period {

bool IsValidDate(int32_t date);
int DaysInMonth(int year, int month);
int32_t NextDay(int32_t date);
// The closing day a period ending on endDate implies: 31 when endDate is the
// last day of its month, else its day; 0 for an invalid date.
int32_t ClosingDayOf(int32_t endDate);
// The calendar month that names the accounting month holding date.
int16_t NamedMonthOf(int32_t date, int32_t closingDay);

struct MonthSpan {
  int32_t first = 0;
  int32_t last = 0;
  int16_t named = 0;
};
// The accounting months of a period (at most 12); empty when invalid.
std::vector<MonthSpan> MonthsOf(int32_t start, int32_t end, int32_t closingDay);
// The month kind (1..12) of a date inside the period, 0 outside.
int16_t MonthKindOf(int32_t date, int32_t start, int32_t end, int32_t closingDay);

}  // namespace period
}  // namespace mvhost

#endif  // TAXLINK_MVHOST_PERIODMATH_H_
