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

}  // namespace taxlink
