#include "aggregation/Decimal4.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace taxlink {
namespace {

constexpr int64_t kBound = Decimal4::kBound;  // 10^18 raw units

TEST(Decimal4Test, RawRoundTripKeepsMagnitudeFractionAndSign) {
  struct Case {
    int64_t raw;
    int64_t integer;
    uint32_t fraction;
    int16_t sign;
  };
  const Case cases[] = {
      {0, 0, 0, 1},
      {1, 0, 1, 1},
      {-1, 0, 1, -1},
      {10006000, 1000, 6000, 1},
      {-16000, 1, 6000, -1},
      {std::numeric_limits<int64_t>::max(), 922337203685477, 5807, 1},
      {std::numeric_limits<int64_t>::min(), 922337203685477, 5808, -1},
  };
  for (const Case& c : cases) {
    Decimal4 d = Decimal4::FromRaw(c.raw);
    EXPECT_EQ(d.integerPart(), c.integer) << c.raw;
    EXPECT_EQ(d.fraction(), c.fraction) << c.raw;
    EXPECT_EQ(d.sign(), c.sign) << c.raw;
    EXPECT_EQ(d.ToRaw(), c.raw);
  }
}

TEST(Decimal4Test, BoundedAdditionRaisesFromTenToTheEighteenth) {
  struct Case {
    int64_t a;
    int64_t b;
    bool overflows;
  };
  const Case cases[] = {
      {kBound - 2, 1, false},
      {kBound - 1, 0, false},
      {kBound - 1, 1, true},  // the sum reaches 10^18
      {kBound / 2, kBound / 2, true},
      {-(kBound - 1), 0, false},
      {-(kBound - 1), -1, true},  // the magnitude counts, whatever the sign
      {kBound - 1, -(kBound - 1), false},
      {kBound, -1, false},  // an operand may exceed the bound; only the sum counts
  };
  for (const Case& c : cases) {
    Decimal4 a = Decimal4::FromRaw(c.a);
    Decimal4 b = Decimal4::FromRaw(c.b);
    if (c.overflows) {
      EXPECT_THROW(a + b, Decimal4Overflow) << c.a << " + " << c.b;
    } else {
      EXPECT_EQ((a + b).ToRaw(), c.a + c.b) << c.a << " + " << c.b;
    }
  }
}

TEST(Decimal4Test, OverflowCarriesMinusOne) {
  try {
    (void)(Decimal4::FromRaw(kBound - 1) + Decimal4::FromRaw(1));
    FAIL() << "no overflow raised";
  } catch (const Decimal4Overflow& overflow) {
    EXPECT_EQ(overflow.code, -1);
  }
}

TEST(Decimal4Test, SubtractionAndCompoundAdditionAreUnbounded) {
  Decimal4 a = Decimal4::FromRaw(kBound - 1);
  Decimal4 sum = a;
  sum += Decimal4::FromRaw(kBound - 1);
  EXPECT_EQ(sum.ToRaw(), 2 * (kBound - 1));
  EXPECT_EQ((a - Decimal4::FromRaw(-(kBound - 1))).ToRaw(), 2 * (kBound - 1));
  EXPECT_EQ((int64_t{5} - Decimal4::FromRaw(7)).ToRaw(), -2);
  EXPECT_EQ((int64_t{5} + Decimal4::FromRaw(-7)).ToRaw(), -2);
}

TEST(Decimal4Test, ZeroResultsArePositive) {
  // Negative zero never survives an operation.
  EXPECT_EQ((Decimal4::FromRaw(-5) + Decimal4::FromRaw(5)).sign(), 1);
  EXPECT_EQ((Decimal4::FromRaw(-5) - Decimal4::FromRaw(-5)).sign(), 1);
  Decimal4 acc = Decimal4::FromRaw(-3);
  acc += Decimal4::FromRaw(3);
  EXPECT_EQ(acc.sign(), 1);
  EXPECT_EQ((Decimal4::FromRaw(-5) * Decimal4::FromRaw(0)).sign(), 1);
  EXPECT_EQ((Decimal4::FromRaw(-5) * 0).sign(), 1);
  EXPECT_EQ((Decimal4::FromRaw(0) * -3).sign(), 1);
  EXPECT_EQ(Decimal4::FromParts(0, 0).sign(), 1);
  EXPECT_TRUE((Decimal4::FromRaw(-5) + Decimal4::FromRaw(5)).IsZero());
}

TEST(Decimal4Test, MultiplicationRoundsTheFifthDecimalHalfUp) {
  struct Case {
    int64_t a;
    int64_t b;
    int64_t product;
  };
  const Case cases[] = {
      {15000, 20000, 30000},  // 1.5 x 2 = 3
      {5000, 1, 1},           // 0.5 x 0.0001 = 0.00005 -> 0.0001
      {4999, 1, 0},           // 0.00004999 -> 0
      {1, 1, 0},              // 0.00000001 -> 0
      {12345, 12345, 15240},  // 1.2345^2 = 1.52399025 -> 1.5240
      {-15000, 20000, -30000},
      {-15000, -20000, 30000},
      {-5000, 1, -1},               // rounding is on the magnitude
      {10006000, 10000, 10006000},  // times one yen
  };
  for (const Case& c : cases) {
    EXPECT_EQ((Decimal4::FromRaw(c.a) * Decimal4::FromRaw(c.b)).ToRaw(), c.product)
        << c.a << " x " << c.b;
  }
}

TEST(Decimal4Test, MultiplicationOverflowsWhenTheIntegerPartsDo) {
  // 2^32 yen squared does not fit 64 bits.
  Decimal4 big = Decimal4::FromParts(int64_t{1} << 32, 0);
  EXPECT_THROW(big * big, Decimal4Overflow);
  Decimal4 fits = Decimal4::FromParts(int64_t{1} << 30, 0);
  EXPECT_NO_THROW(fits * Decimal4::FromParts(4, 0));
}

TEST(Decimal4Test, IntegerMultiplication) {
  EXPECT_EQ((Decimal4::FromRaw(1000000) * 20).ToRaw(), 20000000);  // 100 yen x 20
  EXPECT_EQ((Decimal4::FromRaw(-1) * 20).ToRaw(), -20);
  EXPECT_EQ((Decimal4::FromRaw(7) * -3).ToRaw(), -21);
  EXPECT_EQ((Decimal4::FromRaw(-7) * -3).sign(), 1);
  Decimal4 huge = Decimal4::FromParts(std::numeric_limits<int64_t>::max() / 2 + 1, 0);
  EXPECT_THROW(huge * 2, Decimal4Overflow);
}

TEST(Decimal4Test, ResultsBeyondSixtyFourBitsRaiseInsteadOfWrapping) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  const Decimal4 largest = Decimal4::FromParts(kMax, 0);
  const Decimal4 oneYen = Decimal4::FromParts(1, 0);
  struct Case {
    const char* name;
    Decimal4 (*compute)(const Decimal4& largest, const Decimal4& oneYen);
  };
  const Case cases[] = {
      {"compound addition",
       [](const Decimal4& l, const Decimal4& y) {
         Decimal4 sum = l;
         sum += y;
         return sum;
       }},
      {"subtraction",
       [](const Decimal4& l, const Decimal4& y) {
         return l - Decimal4::FromParts(-y.integerPart(), 0);
       }},
      {"raw amount minus value",
       [](const Decimal4& l, const Decimal4&) { return int64_t{-10000} - l; }},
      // The integer parts' product fits (kMax - 1); the cross terms do not.
      {"multiplication",
       [](const Decimal4&, const Decimal4&) {
         return Decimal4::FromParts(kMax / 2, 9999) * Decimal4::FromParts(2, 9999);
       }},
      {"carry of ten-thousandths",
       [](const Decimal4&, const Decimal4&) { return Decimal4::FromParts(kMax, 10000); }},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(c.compute(largest, oneYen), Decimal4Overflow) << c.name;
  }
  // The largest integer part itself is representable.
  EXPECT_EQ(largest.integerPart(), kMax);
}

TEST(Decimal4Test, ToRawRaisesOutsideTheRawAmountRange) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(Decimal4::FromRaw(kMax).ToRaw(), kMax);
  EXPECT_EQ(Decimal4::FromRaw(kMin).ToRaw(), kMin);
  // One ten-thousandth beyond either end.
  Decimal4 aboveMax = Decimal4::FromRaw(kMax);
  aboveMax += Decimal4::FromRaw(1);
  EXPECT_THROW(aboveMax.ToRaw(), Decimal4Overflow);
  Decimal4 belowMin = Decimal4::FromRaw(kMin);
  belowMin += Decimal4::FromRaw(-1);
  EXPECT_THROW(belowMin.ToRaw(), Decimal4Overflow);
  // A difference of two raw amounts that leaves the range.
  EXPECT_THROW((int64_t{kMax} - Decimal4::FromRaw(-1)).ToRaw(), Decimal4Overflow);
  EXPECT_THROW(Decimal4::FromParts(kMax / 10000 + 1, 0).ToRaw(), Decimal4Overflow);
}

TEST(Decimal4Test, FromPartsCarriesTenThousandthsIntoTheWholeNumber) {
  struct Case {
    int64_t whole;
    uint32_t tenThousandths;
    int64_t raw;
  };
  const Case cases[] = {
      {1, 0, 10000},       {1, 9999, 19999},   {1, 10000, 20000}, {1, 25001, 35001},
      {0, 10000, 10000},   {-1, 5000, -15000},  // the sign comes from the whole number
      {-2, 10000, -30000},
  };
  for (const Case& c : cases) {
    Decimal4 d = Decimal4::FromParts(c.whole, c.tenThousandths);
    EXPECT_EQ(d.ToRaw(), c.raw) << c.whole << ", " << c.tenThousandths;
    EXPECT_LT(d.fraction(), 10000u);
  }
}

}  // namespace
}  // namespace taxlink
