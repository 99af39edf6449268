#ifndef TAXLINK_AGGREGATION_DECIMAL4_H_
#define TAXLINK_AGGREGATION_DECIMAL4_H_

#include <cstdint>

namespace taxlink {

// The overflow failure of Decimal4 arithmetic: an exception carrying -1.
struct Decimal4Overflow {
  int code = -1;
};

// An exact amount with four fraction digits (ten-thousandths of a yen), kept
// as magnitude and sign. Bounded addition and the multiplications raise
// Decimal4Overflow; subtraction and += are exact without the 10^18 bound.
// Any result whose integer part does not fit 64 bits, and a ToRaw whose value
// does not fit a raw amount, raise Decimal4Overflow rather than wrap.
class Decimal4 {
 public:
  // The magnitude at which bounded addition overflows: 10^18 raw units.
  static constexpr int64_t kBound = 1000000000000000000LL;

  Decimal4() = default;
  virtual ~Decimal4() = default;
  Decimal4(const Decimal4&) = default;
  Decimal4& operator=(const Decimal4&) = default;

  static Decimal4 FromRaw(int64_t raw);
  // Whole number w and ten-thousandths t (t >= 10000 carries into w).
  static Decimal4 FromParts(int64_t whole, uint32_t tenThousandths);

  // Raises Decimal4Overflow when the value does not fit a signed 64-bit raw
  // amount.
  int64_t ToRaw() const;
  int64_t integerPart() const { return integer_; }
  uint32_t fraction() const { return fraction_; }
  int16_t sign() const { return sign_; }
  bool IsZero() const { return integer_ == 0 && fraction_ == 0; }

  // Bounded: raises Decimal4Overflow when the magnitude reaches 10^18.
  Decimal4 operator+(const Decimal4& other) const;
  Decimal4 operator-(const Decimal4& other) const;
  Decimal4& operator+=(const Decimal4& other);
  // Fifth and later decimals rounded half up; raises on overflow.
  Decimal4 operator*(const Decimal4& other) const;
  Decimal4 operator*(int32_t n) const;

  friend Decimal4 operator+(int64_t raw, const Decimal4& d);
  friend Decimal4 operator-(int64_t raw, const Decimal4& d);

 private:
  static Decimal4 FromMagnitude(unsigned __int128 magnitude, bool negative);
  __int128 Signed() const;

  int64_t integer_ = 0;
  uint32_t fraction_ = 0;
  int16_t sign_ = 1;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_DECIMAL4_H_
