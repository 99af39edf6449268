#ifndef TAXLINK_HOST_CLACCPERIOD_H_
#define TAXLINK_HOST_CLACCPERIOD_H_

#include <cstdint>

#include "host/HostObject.h"

// An accounting period and its months under a closing day. Dates are
// yyyymmdd numbers. An accounting month is named by the calendar month of its
// last day ("a month"); month kinds number the months of the year from 1 to
// 12, with 15 the interim and 18 the year-end closing adjustment.
// Created by the program with new (or handed out by ClSetData::GetAccPeriod)
// and deleted by it.
class ClAccPeriod {
 public:
  // What a host implements behind a period.
  class Impl : public host::HostObject {
   public:
    virtual int32_t SetPeriod(int32_t start, int32_t end) = 0;
    virtual int32_t GetClosingDayByEndDate(int32_t endDate, int32_t flag) = 0;
    virtual int32_t SetClosingDay(int32_t closingDay) = 0;
    virtual int32_t GetPeriod(int32_t* start, int32_t* end) = 0;
    virtual int32_t GetAMonthByDate(int32_t date, int16_t* month, int32_t flag) = 0;
    virtual int32_t GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end,
                                      int32_t flag) = 0;
    virtual int32_t GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last,
                                         int32_t flag) = 0;
  };

  ClAccPeriod();
  virtual ~ClAccPeriod();
  ClAccPeriod(const ClAccPeriod&) = delete;
  ClAccPeriod& operator=(const ClAccPeriod&) = delete;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  int32_t SetPeriod(int32_t start, int32_t end) { return impl_->SetPeriod(start, end); }
  // The closing day (1..31) that a period ending on endDate implies.
  int32_t GetClosingDayByEndDate(int32_t endDate, int32_t flag) {
    return impl_->GetClosingDayByEndDate(endDate, flag);
  }
  int32_t SetClosingDay(int32_t closingDay) { return impl_->SetClosingDay(closingDay); }
  int32_t GetPeriod(int32_t* start, int32_t* end) { return impl_->GetPeriod(start, end); }
  // The calendar month that names the accounting month holding date.
  int32_t GetAMonthByDate(int32_t date, int16_t* month, int32_t flag) {
    return impl_->GetAMonthByDate(date, month, flag);
  }
  // First and last day of the accounting month named month.
  int32_t GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end, int32_t flag) {
    return impl_->GetPeriodByAMonth(month, start, end, flag);
  }
  // First and last day of a month kind (1..12, 15, 18).
  int32_t GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last, int32_t flag) {
    return impl_->GetPeriodByMonthKind(monthKind, first, last, flag);
  }

 private:
  Impl* impl_;
};

#endif  // TAXLINK_HOST_CLACCPERIOD_H_
