#include "aggregation/PeriodAmount.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "aggregation/Decimal4.h"
#include "aggregation/RawAmount.h"

namespace taxlink {

namespace {
constexpr int kFirstMonthEntry = 1;
constexpr int kLastMonthEntry = 12;
constexpr int kYearEndEntry = 13;
constexpr int kInterimEntry = 14;

// One entry of one of the four arrays (the record is packed, so the arrays
// are read by copy rather than through pointers).
int64_t Entry(const StKAMOKUSUMINFO& record, std::size_t arrayOffset, int entry) {
  int64_t value = 0;
  std::memcpy(&value,
              reinterpret_cast<const char*>(&record) + arrayOffset + entry * sizeof(int64_t),
              sizeof(value));
  return value;
}

}  // namespace

PeriodTotals SumPeriodEntries(const StKAMOKUSUMINFO& record, const MonthRange& range,
                              bool interimClosing, bool taxIncluded) {
  const std::size_t debitOffset =
      taxIncluded ? offsetof(StKAMOKUSUMINFO, debitIncl) : offsetof(StKAMOKUSUMINFO, debit);
  const std::size_t creditOffset =
      taxIncluded ? offsetof(StKAMOKUSUMINFO, creditIncl) : offsetof(StKAMOKUSUMINFO, credit);

  Decimal4 debitTotal;
  Decimal4 creditTotal;
  auto add = [&](int entry) {
    debitTotal = debitTotal + Decimal4::FromRaw(Entry(record, debitOffset, entry));
    creditTotal += Decimal4::FromRaw(Entry(record, creditOffset, entry));
  };
  // Only the month entries 1..12 belong to S..E; a damaged filter must not
  // reach past the arrays.
  const int first = std::max<int>(range.startKind, kFirstMonthEntry);
  const int last = std::min<int>(range.endKind, kLastMonthEntry);
  for (int entry = first; entry <= last; ++entry) add(entry);
  if (range.includesYearEnd) add(kYearEndEntry);
  if (range.SelectsInterim(interimClosing)) add(kInterimEntry);

  PeriodTotals totals;
  totals.debit = ToRawAmount(debitTotal);
  totals.credit = ToRawAmount(creditTotal);
  return totals;
}

}  // namespace taxlink
