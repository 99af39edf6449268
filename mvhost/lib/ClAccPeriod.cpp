#include "host/ClAccPeriod.h"

#include <new>
#include <vector>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/PeriodMath.h"

struct ClAccPeriod::State {
  bool hasPeriod = false;
  int32_t start = 0;
  int32_t end = 0;
  int32_t closingDay = 31;

  std::vector<mvhost::period::MonthSpan> Months() const {
    return mvhost::period::MonthsOf(start, end, closingDay);
  }
};

ClAccPeriod::ClAccPeriod() : state_(new State) {}

ClAccPeriod::~ClAccPeriod() { delete state_; }

void* ClAccPeriod::operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (mvhost::FaultInjection::CreationFails("ClAccPeriod")) return nullptr;
  return ::operator new(size, std::nothrow);
}

void* ClAccPeriod::operator new(std::size_t size) {
  if (mvhost::FaultInjection::CreationFails("ClAccPeriod")) throw std::bad_alloc();
  return ::operator new(size);
}

void ClAccPeriod::operator delete(void* p) noexcept { ::operator delete(p); }

int32_t ClAccPeriod::SetPeriod(int32_t start, int32_t end) {
  MVHOST_FAULT_POINT("ClAccPeriod::SetPeriod");
  if (!mvhost::period::IsValidDate(start) || !mvhost::period::IsValidDate(end) || start > end) {
    return mvhost::kErrBadPeriod;
  }
  state_->hasPeriod = true;
  state_->start = start;
  state_->end = end;
  state_->closingDay = mvhost::period::ClosingDayOf(end);
  return 0;
}

int32_t ClAccPeriod::GetClosingDayByEndDate(int32_t endDate, int32_t /*flag*/) {
  MVHOST_FAULT_POINT("ClAccPeriod::GetClosingDayByEndDate");
  return mvhost::period::ClosingDayOf(endDate);
}

int32_t ClAccPeriod::SetClosingDay(int32_t closingDay) {
  MVHOST_FAULT_POINT("ClAccPeriod::SetClosingDay");
  if (closingDay < 1 || closingDay > 31) return mvhost::kErrBadPeriod;
  state_->closingDay = closingDay;
  return 0;
}

int32_t ClAccPeriod::GetPeriod(int32_t* start, int32_t* end) {
  MVHOST_FAULT_POINT("ClAccPeriod::GetPeriod");
  if (start == nullptr || end == nullptr) return mvhost::kErrBadArgument;
  if (!state_->hasPeriod) return mvhost::kErrBadPeriod;
  *start = state_->start;
  *end = state_->end;
  return 0;
}

int32_t ClAccPeriod::GetAMonthByDate(int32_t date, int16_t* month, int32_t /*flag*/) {
  MVHOST_FAULT_POINT("ClAccPeriod::GetAMonthByDate");
  if (month == nullptr) return mvhost::kErrBadArgument;
  int16_t named = mvhost::period::NamedMonthOf(date, state_->closingDay);
  if (named == 0) return mvhost::kErrBadPeriod;
  *month = named;
  return 0;
}

int32_t ClAccPeriod::GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end,
                                       int32_t /*flag*/) {
  MVHOST_FAULT_POINT("ClAccPeriod::GetPeriodByAMonth");
  if (start == nullptr || end == nullptr) return mvhost::kErrBadArgument;
  for (const auto& span : state_->Months()) {
    if (span.named == month) {
      *start = span.first;
      *end = span.last;
      return 0;
    }
  }
  return mvhost::kErrBadPeriod;
}

int32_t ClAccPeriod::GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last,
                                          int32_t /*flag*/) {
  MVHOST_FAULT_POINT("ClAccPeriod::GetPeriodByMonthKind");
  if (first == nullptr || last == nullptr) return mvhost::kErrBadArgument;
  std::vector<mvhost::period::MonthSpan> months = state_->Months();
  if (months.empty()) return mvhost::kErrBadPeriod;
  if (monthKind == 18) {
    // The year-end closing adjustment is dated on the period's last day.
    *first = *last = state_->end;
    return 0;
  }
  if (monthKind == 15) {
    // The interim closing adjustment is dated on the last day of month 6.
    if (months.size() < 6) return mvhost::kErrBadPeriod;
    *first = *last = months[5].last;
    return 0;
  }
  if (monthKind < 1 || static_cast<size_t>(monthKind) > months.size()) {
    return mvhost::kErrBadPeriod;
  }
  *first = months[static_cast<size_t>(monthKind) - 1].first;
  *last = months[static_cast<size_t>(monthKind) - 1].last;
  return 0;
}
