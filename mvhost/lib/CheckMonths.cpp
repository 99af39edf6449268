#include "mvhost/lib/CheckMonths.h"

#include <vector>

#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/MonthOrder.h"
#include "mvhost/lib/PeriodMath.h"

namespace mvhost {

namespace {

constexpr int32_t kInterimKind = 15;
constexpr int32_t kYearEndKind = 18;
constexpr int kInterimAfterKind = 6;

std::vector<period::MonthSpan> PeriodMonths(const DataSetInfo& info) {
  return period::MonthsOf(info.periodStart, info.periodEnd, period::ClosingDayOf(info.periodEnd));
}

// The month kind (1..) of the accounting month named `month`; 0 when none is.
int KindNamed(const std::vector<period::MonthSpan>& months, int month) {
  for (size_t i = 0; i < months.size(); ++i) {
    if (months[i].named == month) return static_cast<int>(i + 1);
  }
  return 0;
}

}  // namespace

bool MonthSelection::WholePeriod(const DataSetInfo& info, MonthSelection* out, std::string* error) {
  std::vector<period::MonthSpan> months = PeriodMonths(info);
  if (months.empty()) {
    *error = "data set " + std::to_string(info.dataNo) + " has no valid accounting period";
    return false;
  }
  return OfMonths(info, months.front().named, months.back().named, out, error);
}

bool MonthSelection::OfMonths(const DataSetInfo& info, int startMonth, int endMonth,
                              MonthSelection* out, std::string* error) {
  std::vector<period::MonthSpan> months = PeriodMonths(info);
  const int s = KindNamed(months, startMonth);
  const int e = KindNamed(months, endMonth);
  if (s == 0 || e == 0 || s > e) {
    *error = "months " + std::to_string(startMonth) + "-" + std::to_string(endMonth) +
             ": the period " + FormatDateText(info.periodStart) + ".." +
             FormatDateText(info.periodEnd) + " of data set " + std::to_string(info.dataNo) +
             (months.empty() ? std::string(" has no months")
                             : " runs from month " + std::to_string(months.front().named) +
                                   " to month " + std::to_string(months.back().named)) +
             "; give two of its months, the first not after the second";
    return false;
  }
  MonthSelection selection;
  selection.startKind_ = s;
  selection.endKind_ = e;
  selection.withInterim_ = info.interimClosing && e == kInterimAfterKind;
  selection.withYearEnd_ = e == static_cast<int>(months.size());
  selection.firstDay_ = months[static_cast<size_t>(s - 1)].first;
  selection.lastDay_ = months[static_cast<size_t>(e - 1)].last;
  selection.MaskKinds();
  *out = selection;
  return true;
}

std::vector<int32_t> MonthSelection::Kinds() const {
  std::vector<int32_t> kinds;
  for (int32_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, kInterimKind, kYearEndKind}) {
    if (Contains(kind)) kinds.push_back(kind);
  }
  return kinds;
}

void MonthSelection::MaskKinds() {
  kindMask_ = 0;
  for (int32_t kind = 0; kind < 32; ++kind) {
    if (ContainsByOrder(kind)) kindMask_ |= 1u << kind;
  }
}

bool MonthSelection::ContainsByOrder(int32_t monthKind) const {
  const int64_t order = MonthOrder(monthKind);
  if (order >= MonthOrder(startKind_) && order <= MonthOrder(endKind_)) return true;
  return (withInterim_ && monthKind == kInterimKind) || (withYearEnd_ && monthKind == kYearEndKind);
}

}  // namespace mvhost
