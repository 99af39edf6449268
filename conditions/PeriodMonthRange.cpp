#include "conditions/PeriodMonthRange.h"

#include <memory>
#include <new>

#include "host/ClAccPeriod.h"

namespace taxlink {

void GetPeriodMonthRange(int32_t periodStart, int32_t periodEnd, int16_t* firstMonth,
                         int16_t* lastMonth) {
  int16_t first = static_cast<int16_t>(periodStart % 10000 / 100);
  int16_t last = static_cast<int16_t>(periodEnd % 10000 / 100);

  std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod());
  if (!period) return;
  // Result codes are not examined: on a failure the calendar month of the
  // period's first day stays.
  period->SetPeriod(periodStart, periodEnd);
  int32_t closingDay = period->GetClosingDayByEndDate(periodEnd, 0);
  period->SetClosingDay(closingDay);
  period->GetAMonthByDate(periodStart, &first, 0);
  period.reset();

  if (last < first) last = static_cast<int16_t>(last + 100);
  if (firstMonth != nullptr) *firstMonth = first;
  if (lastMonth != nullptr) *lastMonth = last;
}

}  // namespace taxlink
