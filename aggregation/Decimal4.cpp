#include "aggregation/Decimal4.h"

#include <limits>

namespace taxlink {

namespace {
constexpr int64_t kScale = 10000;
constexpr __int128 kRawMax = std::numeric_limits<int64_t>::max();
constexpr __int128 kRawMin = std::numeric_limits<int64_t>::min();
}  // namespace

Decimal4 Decimal4::FromMagnitude(unsigned __int128 magnitude, bool negative) {
  // An integer part beyond 64 bits would wrap into a wrong (even negative)
  // magnitude; such a result is the overflow failure instead.
  if (magnitude / kScale > static_cast<unsigned __int128>(kRawMax)) throw Decimal4Overflow{};
  Decimal4 d;
  d.integer_ = static_cast<int64_t>(magnitude / kScale);
  d.fraction_ = static_cast<uint32_t>(magnitude % kScale);
  d.sign_ = (negative && magnitude != 0) ? -1 : 1;
  return d;
}

__int128 Decimal4::Signed() const {
  __int128 m = static_cast<__int128>(integer_) * kScale + fraction_;
  return sign_ < 0 ? -m : m;
}

Decimal4 Decimal4::FromRaw(int64_t raw) {
  bool negative = raw < 0;
  unsigned __int128 magnitude = negative
                                    ? static_cast<unsigned __int128>(-(static_cast<__int128>(raw)))
                                    : static_cast<unsigned __int128>(raw);
  return FromMagnitude(magnitude, negative);
}

Decimal4 Decimal4::FromParts(int64_t whole, uint32_t tenThousandths) {
  bool negative = whole < 0;
  unsigned __int128 w = negative ? static_cast<unsigned __int128>(-(static_cast<__int128>(whole)))
                                 : static_cast<unsigned __int128>(whole);
  unsigned __int128 magnitude = w * kScale + tenThousandths;
  Decimal4 d = FromMagnitude(magnitude, negative);
  // The sign comes from w, also when w is zero.
  d.sign_ = negative ? -1 : 1;
  if (d.IsZero()) d.sign_ = 1;
  return d;
}

int64_t Decimal4::ToRaw() const {
  // A value that does not fit a raw amount raises rather than being cut to
  // 64 bits.
  const __int128 raw = Signed();
  if (raw > kRawMax || raw < kRawMin) throw Decimal4Overflow{};
  return static_cast<int64_t>(raw);
}

Decimal4 Decimal4::operator+(const Decimal4& other) const {
  __int128 sum = Signed() + other.Signed();
  __int128 magnitude = sum < 0 ? -sum : sum;
  if (magnitude >= kBound) throw Decimal4Overflow{};
  return FromMagnitude(static_cast<unsigned __int128>(magnitude), sum < 0);
}

Decimal4 Decimal4::operator-(const Decimal4& other) const {
  __int128 diff = Signed() - other.Signed();
  return FromMagnitude(static_cast<unsigned __int128>(diff < 0 ? -diff : diff), diff < 0);
}

Decimal4& Decimal4::operator+=(const Decimal4& other) {
  __int128 sum = Signed() + other.Signed();
  *this = FromMagnitude(static_cast<unsigned __int128>(sum < 0 ? -sum : sum), sum < 0);
  return *this;
}

Decimal4 Decimal4::operator*(const Decimal4& other) const {
  int64_t integers = 0;
  if (__builtin_mul_overflow(integer_, other.integer_, &integers)) throw Decimal4Overflow{};
  unsigned __int128 magnitude =
      static_cast<unsigned __int128>(integers) * kScale +
      static_cast<unsigned __int128>(integer_) * other.fraction_ +
      static_cast<unsigned __int128>(other.integer_) * fraction_ +
      (static_cast<uint64_t>(fraction_) * other.fraction_ + 5000) / kScale;
  return FromMagnitude(magnitude, sign_ * other.sign_ < 0);
}

Decimal4 Decimal4::operator*(int32_t n) const {
  int64_t integers = 0;
  if (__builtin_mul_overflow(integer_, static_cast<int64_t>(n), &integers))
    throw Decimal4Overflow{};
  __int128 product = Signed() * n;
  return FromMagnitude(static_cast<unsigned __int128>(product < 0 ? -product : product),
                       product < 0);
}

Decimal4 operator+(int64_t raw, const Decimal4& d) {
  __int128 sum = static_cast<__int128>(raw) + d.Signed();
  return Decimal4::FromMagnitude(static_cast<unsigned __int128>(sum < 0 ? -sum : sum), sum < 0);
}

Decimal4 operator-(int64_t raw, const Decimal4& d) {
  __int128 diff = static_cast<__int128>(raw) - d.Signed();
  return Decimal4::FromMagnitude(static_cast<unsigned __int128>(diff < 0 ? -diff : diff), diff < 0);
}

}  // namespace taxlink
