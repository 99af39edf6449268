#include "sheet/AmountText.h"

#include <gtest/gtest.h>

namespace taxlink::sheet {
namespace {

TEST(AmountTextTest, GroupsThousandsAndMarksNegatives) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"0", "0"},
      {"7", "7"},
      {"999", "999"},
      {"1000", "1,000"},
      {"-1000", "△1,000"},
      {"-123456", "△123,456"},
      {"1234567", "1,234,567"},
      {"9223372036854775807", "9,223,372,036,854,775,807"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupedAmount(c.text), c.shown) << c.text;
}

TEST(AmountTextTest, DifferencesOfTheLargestAmountsAreExact) {
  // Two 19-digit amounts that the schema lets through, far apart: their
  // difference passes 64 bits.
  const Yen earlier = AmountValue("-9999999999999999999");
  const Yen now = AmountValue("9999999999999999999");
  EXPECT_EQ(AmountTextOf(now - earlier), "19999999999999999998");
  EXPECT_EQ(AmountTextOf(earlier - now), "-19999999999999999998");
  EXPECT_EQ(AmountTextOf(AmountValue("") - AmountValue("")), "");
  EXPECT_EQ(AmountTextOf(AmountValue("-5") + AmountValue("12")), "7");
}

}  // namespace
}  // namespace taxlink::sheet
