#ifndef TAXLINK_AGGREGATION_RAWAMOUNT_H_
#define TAXLINK_AGGREGATION_RAWAMOUNT_H_

#include <cstdint>

#include "aggregation/Decimal4.h"

namespace taxlink {

// The raw amount of a Decimal4 value. A value that does not fit a signed
// 64-bit raw amount raises Decimal4Overflow instead of being cut to 64 bits.
int64_t ToRawAmount(const Decimal4& value);

// raw + addend and raw - subtrahend as Decimal4 arithmetic gives them,
// checked as above: a result past a signed 64-bit raw amount raises. Inline,
// as the integer arithmetic they come to: the walks call them per line.
inline int64_t AddRaw(int64_t raw, int64_t addend) {
  int64_t sum = 0;
  if (__builtin_add_overflow(raw, addend, &sum)) throw Decimal4Overflow{};
  return sum;
}
inline int64_t SubtractRaw(int64_t raw, int64_t subtrahend) {
  int64_t difference = 0;
  if (__builtin_sub_overflow(raw, subtrahend, &difference)) throw Decimal4Overflow{};
  return difference;
}

// The value of one side of a journal line: its amount, plus its tax when
// book amounts include tax (bounded Decimal4 addition: a magnitude of
// Decimal4::kBound or more raises).
inline int64_t JournalSideValue(int64_t amount, int64_t tax, bool taxIncluded) {
  if (!taxIncluded) return amount;
  const __int128 sum = static_cast<__int128>(amount) + tax;
  if (sum >= Decimal4::kBound || sum <= -Decimal4::kBound) throw Decimal4Overflow{};
  return static_cast<int64_t>(sum);
}

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RAWAMOUNT_H_
