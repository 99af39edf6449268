#ifndef TAXLINK_HOST_CLACCPERIOD_H_
#define TAXLINK_HOST_CLACCPERIOD_H_

#include <cstddef>
#include <cstdint>
#include <new>

// An accounting period and its months under a closing day. Dates are
// yyyymmdd numbers. An accounting month is named by the calendar month of its
// last day ("a month"); month kinds number the months of the year from 1 to
// 12, with 15 the interim and 18 the year-end closing adjustment.
// Created by the program with new (or handed out by ClSetData::GetAccPeriod)
// and deleted by it.
class ClAccPeriod {
 public:
  ClAccPeriod();
  virtual ~ClAccPeriod();
  ClAccPeriod(const ClAccPeriod&) = delete;
  ClAccPeriod& operator=(const ClAccPeriod&) = delete;

  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  int32_t SetPeriod(int32_t start, int32_t end);
  // The closing day (1..31) that a period ending on endDate implies.
  int32_t GetClosingDayByEndDate(int32_t endDate, int32_t flag);
  int32_t SetClosingDay(int32_t closingDay);
  int32_t GetPeriod(int32_t* start, int32_t* end);
  // The calendar month that names the accounting month holding date.
  int32_t GetAMonthByDate(int32_t date, int16_t* month, int32_t flag);
  // First and last day of the accounting month named month.
  int32_t GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end, int32_t flag);
  // First and last day of a month kind (1..12, 15, 18).
  int32_t GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last, int32_t flag);

  struct State;

 private:
  State* state_;
};

#endif  // TAXLINK_HOST_CLACCPERIOD_H_
