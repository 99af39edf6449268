#include "host/ClAccPeriod.h"

#include <new>
#include <vector>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/PeriodMath.h"

namespace mvhost {

namespace {

// A period of the host's calendar arithmetic (PeriodMath.h).
class Period : public ClAccPeriod::Impl {
 public:
  Period();
  ~Period() override;
  int32_t SetPeriod(int32_t start, int32_t end) override;
  int32_t GetClosingDayByEndDate(int32_t endDate, int32_t flag) override;
  int32_t SetClosingDay(int32_t closingDay) override;
  int32_t GetPeriod(int32_t* start, int32_t* end) override;
  int32_t GetAMonthByDate(int32_t date, int16_t* month, int32_t flag) override;
  int32_t GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end, int32_t flag) override;
  int32_t GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last,
                               int32_t flag) override;

 private:
  struct State;
  State* state_;
};

}  // namespace

}  // namespace mvhost

struct mvhost::Period::State {
  bool hasPeriod = false;
  int32_t start = 0;
  int32_t end = 0;
  int32_t closingDay = 31;

  std::vector<mvhost::period::MonthSpan> Months() const {
    return mvhost::period::MonthsOf(start, end, closingDay);
  }
};

mvhost::Period::Period() : state_(new State) {}

mvhost::Period::~Period() { delete state_; }

ClAccPeriod::Impl* mvhost::NewAccPeriod() { return new (std::nothrow) Period; }

int32_t mvhost::Period::SetPeriod(int32_t start, int32_t end) {
  if (!mvhost::period::IsValidDate(start) || !mvhost::period::IsValidDate(end) || start > end) {
    return mvhost::kErrBadPeriod;
  }
  state_->hasPeriod = true;
  state_->start = start;
  state_->end = end;
  state_->closingDay = mvhost::period::ClosingDayOf(end);
  return 0;
}

int32_t mvhost::Period::GetClosingDayByEndDate(int32_t endDate, int32_t /*flag*/) {
  return mvhost::period::ClosingDayOf(endDate);
}

int32_t mvhost::Period::SetClosingDay(int32_t closingDay) {
  if (closingDay < 1 || closingDay > 31) return mvhost::kErrBadPeriod;
  state_->closingDay = closingDay;
  return 0;
}

int32_t mvhost::Period::GetPeriod(int32_t* start, int32_t* end) {
  if (start == nullptr || end == nullptr) return mvhost::kErrBadArgument;
  if (!state_->hasPeriod) return mvhost::kErrBadPeriod;
  *start = state_->start;
  *end = state_->end;
  return 0;
}

int32_t mvhost::Period::GetAMonthByDate(int32_t date, int16_t* month, int32_t /*flag*/) {
  if (month == nullptr) return mvhost::kErrBadArgument;
  int16_t named = mvhost::period::NamedMonthOf(date, state_->closingDay);
  if (named == 0) return mvhost::kErrBadPeriod;
  *month = named;
  return 0;
}

int32_t mvhost::Period::GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end,
                                          int32_t /*flag*/) {
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

int32_t mvhost::Period::GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last,
                                             int32_t /*flag*/) {
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
