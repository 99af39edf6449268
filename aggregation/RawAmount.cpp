#include "aggregation/RawAmount.h"

#include <limits>

namespace taxlink {

int64_t ToRawAmount(const Decimal4& value) {
  // The magnitude is integer part x 10000 + fraction; check it in 128 bits.
  __int128 magnitude = static_cast<__int128>(value.integerPart()) * 10000 + value.fraction();
  __int128 limit = value.sign() < 0 ? -static_cast<__int128>(std::numeric_limits<int64_t>::min())
                                    : static_cast<__int128>(std::numeric_limits<int64_t>::max());
  if (magnitude > limit) throw Decimal4Overflow{};
  return value.ToRaw();
}

int64_t AddRaw(int64_t raw, int64_t addend) { return ToRawAmount(raw + Decimal4::FromRaw(addend)); }

int64_t SubtractRaw(int64_t raw, int64_t subtrahend) {
  return ToRawAmount(raw - Decimal4::FromRaw(subtrahend));
}

int64_t JournalSideValue(int64_t amount, int64_t tax, bool taxIncluded) {
  if (!taxIncluded) return amount;
  return ToRawAmount(Decimal4::FromRaw(amount) + Decimal4::FromRaw(tax));
}

}  // namespace taxlink
