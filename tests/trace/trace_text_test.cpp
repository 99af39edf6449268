// The trace's text of amounts and line rows, made straight from integers:
// signs, fractions and the limits of 64 bits.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "trace/TraceRecords.h"
#include "trace/YenText.h"

namespace taxlink {
namespace {

TEST(TraceTextTest, AmountsAreYenWithFourDecimals) {
  const struct {
    int64_t raw;
    const char* text;
  } cases[] = {
      {0, "0.0000"},
      {5, "0.0005"},
      {-5000, "-0.5000"},
      {12345678, "1234.5678"},
      {-10000, "-1.0000"},
      {std::numeric_limits<int64_t>::max(), "922337203685477.5807"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(YenText(c.raw), c.text) << c.raw;
    std::string appended = "x";
    AppendYen(appended, c.raw);
    EXPECT_EQ(appended, std::string("x") + c.text);
  }
}

TEST(TraceTextTest, ALineRowHasTheColumnsInOrder) {
  const LineRow row{7, 12, 20140405, 15, 300, 800, 101, 1, 21, 3, 0, 7200000, -576000};
  std::string text;
  AppendLineRow(text, row);
  EXPECT_EQ(text,
            "\n[7,12,20140405,15,300,\"debit\",21,800,3,101,\"720.0000\",\"-57.6000\","
            "\"662.4000\"]");
  text.clear();
  AppendLineEntry(text, LineEntry{static_cast<uint8_t>(TakenAmount::kTax), 41, -576000});
  EXPECT_EQ(text, "\n{\"kind\":\"line\",\"amount\":\"-57.6000\",\"line\":41,\"taken\":\"tax\"}");
}

}  // namespace
}  // namespace taxlink
