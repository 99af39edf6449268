#include "conditions/PeriodMonthRange.h"

#include <memory>
#include <new>

#include "host/ClAccPeriod.h"
#include "status/HostResult.h"

namespace taxlink {

Status GetPeriodMonthRange(int32_t periodStart, int32_t periodEnd, int16_t* firstMonth,
                           int16_t* lastMonth) {
  int16_t first = static_cast<int16_t>(periodStart % 10000 / 100);
  int16_t last = static_cast<int16_t>(periodEnd % 10000 / 100);

  std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod());
  if (!period) return Status::NotCreated("ClAccPeriod");
  Status status =
      HostCallResult(period->SetPeriod(periodStart, periodEnd), "ClAccPeriod::SetPeriod");
  if (!status.ok()) return status;
  const int32_t closingDay = period->GetClosingDayByEndDate(periodEnd, 0);
  // A closing day is 1..31; anything else is the host's error code.
  if (closingDay < 1 || closingDay > 31) {
    return Status::HostError(closingDay, "ClAccPeriod::GetClosingDayByEndDate");
  }
  status = HostCallResult(period->SetClosingDay(closingDay), "ClAccPeriod::SetClosingDay");
  if (status.ok()) {
    status = HostCallResult(period->GetAMonthByDate(periodStart, &first, 0),
                            "ClAccPeriod::GetAMonthByDate");
  }
  if (!status.ok()) return status;

  if (last < first) last = static_cast<int16_t>(last + 100);
  if (firstMonth != nullptr) *firstMonth = first;
  if (lastMonth != nullptr) *lastMonth = last;
  return Status::OK();
}

}  // namespace taxlink
