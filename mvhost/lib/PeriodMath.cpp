#include "mvhost/lib/PeriodMath.h"

#include <cstddef>

namespace mvhost {
namespace period {

namespace {

int YearOf(int32_t date) { return date / 10000; }
int MonthOf(int32_t date) { return date / 100 % 100; }
int DayOf(int32_t date) { return date % 100; }
int32_t MakeDate(int year, int month, int day) { return year * 10000 + month * 100 + day; }

// The closing date of calendar month (year, month) under closingDay.
int32_t CloseDate(int year, int month, int32_t closingDay) {
  int days = DaysInMonth(year, month);
  return MakeDate(year, month, closingDay < days ? closingDay : days);
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) return 29;
  return kDays[month - 1];
}

bool IsValidDate(int32_t date) {
  int year = YearOf(date);
  int month = MonthOf(date);
  int day = DayOf(date);
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

int32_t NextDay(int32_t date) {
  int year = YearOf(date);
  int month = MonthOf(date);
  int day = DayOf(date) + 1;
  if (day > DaysInMonth(year, month)) {
    day = 1;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return MakeDate(year, month, day);
}

int32_t ClosingDayOf(int32_t endDate) {
  if (!IsValidDate(endDate)) return 0;
  int day = DayOf(endDate);
  return day == DaysInMonth(YearOf(endDate), MonthOf(endDate)) ? 31 : day;
}

int16_t NamedMonthOf(int32_t date, int32_t closingDay) {
  if (!IsValidDate(date) || closingDay < 1 || closingDay > 31) return 0;
  int month = MonthOf(date);
  if (date <= CloseDate(YearOf(date), month, closingDay)) return static_cast<int16_t>(month);
  return static_cast<int16_t>(month == 12 ? 1 : month + 1);
}

std::vector<MonthSpan> MonthsOf(int32_t start, int32_t end, int32_t closingDay) {
  std::vector<MonthSpan> months;
  if (!IsValidDate(start) || !IsValidDate(end) || start > end || closingDay < 1 ||
      closingDay > 31) {
    return months;
  }
  int32_t first = start;
  while (first <= end) {
    int year = YearOf(first);
    int month = MonthOf(first);
    int32_t last = CloseDate(year, month, closingDay);
    if (first > last) {
      if (++month > 12) {
        month = 1;
        ++year;
      }
      last = CloseDate(year, month, closingDay);
    }
    if (last > end || months.size() == 11) last = end;
    months.push_back({first, last, static_cast<int16_t>(MonthOf(last))});
    first = NextDay(last);
  }
  return months;
}

int16_t MonthKindOf(int32_t date, int32_t start, int32_t end, int32_t closingDay) {
  std::vector<MonthSpan> months = MonthsOf(start, end, closingDay);
  for (std::size_t i = 0; i < months.size(); ++i) {
    if (date >= months[i].first && date <= months[i].last) return static_cast<int16_t>(i + 1);
  }
  return 0;
}

}  // namespace period
}  // namespace mvhost
