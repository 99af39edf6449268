#include "aggregation/PeriodAmount.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

#include "aggregation/Decimal4.h"

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

  // The Decimal4 sums of raw amounts are the integer sums of the raw
  // amounts: summed as integers, with the same failures (the debit's
  // bounded addition at each step, a credit past a raw amount at the end).
  __int128 debit = 0;
  __int128 credit = 0;
  auto add = [&](int entry) {
    debit += Entry(record, debitOffset, entry);
    if (debit >= Decimal4::kBound || debit <= -Decimal4::kBound) throw Decimal4Overflow{};
    credit += Entry(record, creditOffset, entry);
  };
  // Only the month entries 1..12 belong to S..E; a damaged filter must not
  // reach past the arrays.
  const int first = std::max<int>(range.startKind, kFirstMonthEntry);
  const int last = std::min<int>(range.endKind, kLastMonthEntry);
  for (int entry = first; entry <= last; ++entry) add(entry);
  if (range.includesYearEnd) add(kYearEndEntry);
  if (range.SelectsInterim(interimClosing)) add(kInterimEntry);
  if (credit > std::numeric_limits<int64_t>::max() || credit < std::numeric_limits<int64_t>::min()) {
    throw Decimal4Overflow{};
  }

  PeriodTotals totals;
  totals.debit = static_cast<int64_t>(debit);
  totals.credit = static_cast<int64_t>(credit);
  return totals;
}

}  // namespace taxlink
