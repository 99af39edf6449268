#ifndef TAXLINK_REPORT_AMOUNTROUNDING_H_
#define TAXLINK_REPORT_AMOUNTROUNDING_H_

#include <cstdint>
#include <string>

namespace taxlink {

// Rounding modes of the company's consumption-tax settings (byte 2).
constexpr uint8_t kRoundCascadingHalfUp = 0;
constexpr uint8_t kRoundDown = 1;
constexpr uint8_t kRoundUp = 2;

// Whole yen of a raw amount (ten-thousandths of a yen) under a rounding mode:
//   0: cascading half-up on the four fraction digits (positive amounts from
//      .4445 up round up); negative amounts are cut toward zero;
//   1: cut toward zero;
//   2: away from zero whenever there is a fraction (up for positive amounts,
//      down for negative ones, so that -1.2 yen becomes -2 as 1.2 becomes 2);
//   any other mode: cut toward zero.
int64_t AmountRounding(int64_t raw, uint8_t mode);

// The text of an amount element: the rounded whole yen in decimal with a
// leading "-" when negative, or empty when it rounds to zero.
std::string AmountText(int64_t raw, uint8_t mode);

// As AmountText, but zero is written as "0".
std::string AmountTextWithZero(int64_t raw, uint8_t mode);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_AMOUNTROUNDING_H_
