#include "report/AmountRounding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace taxlink {
namespace {

struct RoundingCase {
  int64_t raw;
  uint8_t mode;
  int64_t yen;
  const char* text;  // the element text by the amount rule
};

class AmountRoundingTest : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(AmountRoundingTest, RoundsToWholeYen) {
  const RoundingCase& c = GetParam();
  EXPECT_EQ(AmountRounding(c.raw, c.mode), c.yen) << "raw " << c.raw << " mode " << int(c.mode);
  EXPECT_EQ(AmountText(c.raw, c.mode), c.text);
}

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, AmountRoundingTest,
    ::testing::Values(
        // Mode 0: cascading half-up.
        RoundingCase{0, 0, 0, ""}, RoundingCase{4445, 0, 1, "1"}, RoundingCase{4444, 0, 0, ""},
        RoundingCase{15000, 0, 2, "2"},
        RoundingCase{14950, 0, 2, "2"},  // 5 in the third digit carries twice
        RoundingCase{14449, 0, 2, "2"},  // 9 -> 5 -> 5 -> 5: carries all the way
        RoundingCase{14445, 0, 2, "2"}, RoundingCase{14444, 0, 1, "1"},
        RoundingCase{10499, 0, 1, "1"},  // .0499: the carries stop below the first digit
        RoundingCase{10050, 0, 1, "1"},  // 5 in the third digit makes d2 5, d1 stays 0+1 < 5
        RoundingCase{19999, 0, 2, "2"},
        RoundingCase{-16000, 0, -1, "-1"},  // negative digits never carry
        RoundingCase{-19999, 0, -1, "-1"}, RoundingCase{-4445, 0, 0, ""},
        RoundingCase{-20000, 0, -2, "-2"},
        // Mode 1: cut toward zero.
        RoundingCase{19999, 1, 1, "1"}, RoundingCase{9999, 1, 0, ""},
        RoundingCase{-19999, 1, -1, "-1"}, RoundingCase{20000, 1, 2, "2"},
        // Mode 2: away from zero on any fraction.
        RoundingCase{10001, 2, 2, "2"}, RoundingCase{10000, 2, 1, "1"}, RoundingCase{1, 2, 1, "1"},
        RoundingCase{0, 2, 0, ""}, RoundingCase{-1, 2, -1, "-1"}, RoundingCase{-10001, 2, -2, "-2"},
        RoundingCase{-10000, 2, -1, "-1"}, RoundingCase{-12000, 2, -2, "-2"},
        // Any other mode cuts toward zero.
        RoundingCase{19999, 3, 1, "1"}, RoundingCase{-19999, 255, -1, "-1"},
        // The limits of a raw amount.
        RoundingCase{kMax, 0, kMax / 10000 + 1, "922337203685478"},
        RoundingCase{kMax, 2, kMax / 10000 + 1, "922337203685478"},
        RoundingCase{kMin, 0, kMin / 10000, "-922337203685477"},
        RoundingCase{kMin, 2, kMin / 10000 - 1, "-922337203685478"}));

TEST(AmountTextTest, WithZeroWritesZero) {
  EXPECT_EQ(AmountTextWithZero(0, 0), "0");
  EXPECT_EQ(AmountTextWithZero(4444, 0), "0");
  EXPECT_EQ(AmountTextWithZero(-25000, 0), "-2");
  EXPECT_EQ(AmountTextWithZero(12345678, 1), "1234");
}

}  // namespace
}  // namespace taxlink
