#include "report/AmountRounding.h"

namespace taxlink {

namespace {

constexpr int64_t kYen = 10000;

// Mode 0: each fraction digit of 5 or more (a carried 10 included) carries
// into the digit before it, from the fourth digit up to the first. Negative
// digits never reach 5, so negative amounts are cut toward zero.
int64_t CascadingHalfUp(int64_t q, int64_t r) {
  int64_t d1 = r / 1000;
  int64_t d2 = (r / 100) % 10;
  int64_t d3 = (r % 100) / 10;
  int64_t d4 = r % 10;
  if (d4 >= 5) ++d3;
  if (d3 >= 5) ++d2;
  if (d2 >= 5) ++d1;
  return d1 >= 5 ? q + 1 : q;
}

}  // namespace

int64_t AmountRounding(int64_t raw, uint8_t mode) {
  const int64_t q = raw / kYen;  // truncated toward zero
  const int64_t r = raw % kYen;  // the sign of raw
  switch (mode) {
    case kRoundCascadingHalfUp:
      return CascadingHalfUp(q, r);
    case kRoundDown:
      return q;
    case kRoundUp:
      if (r > 0) return q + 1;
      if (r < 0) return q - 1;
      return q;
    default:
      return q;
  }
}

std::string AmountText(int64_t raw, uint8_t mode) {
  int64_t yen = AmountRounding(raw, mode);
  return yen == 0 ? std::string() : std::to_string(yen);
}

std::string AmountTextWithZero(int64_t raw, uint8_t mode) {
  return std::to_string(AmountRounding(raw, mode));
}

}  // namespace taxlink
