// The value forms of the data format: amounts, dates, class codes, tax
// classes and accounting months.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "mvhost/lib/DataValues.h"

namespace {

TEST(DataValuesTest, AmountText) {
  struct {
    const char* text;
    bool ok;
    int64_t raw;
  } cases[] = {
      {"0", true, 0},
      {"1", true, 10000},
      {"-1", true, -10000},
      {"1.5", true, 15000},
      {"1.0001", true, 10001},
      {"-0.0001", true, -1},
      {"922337203685477", true, 9223372036854770000},
      {"922337203685477.5807", true, std::numeric_limits<int64_t>::max()},
      {"922337203685477.5808", false, 0},
      {"922337203685478", false, 0},
      {"1.00001", false, 0},
      {"1.", false, 0},
      {".5", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"+1", false, 0},
      {"1,000", false, 0},
      {" 1", false, 0},
      {"1e3", false, 0},
  };
  for (const auto& c : cases) {
    int64_t raw = 7;
    EXPECT_EQ(mvhost::ParseAmountText(c.text, &raw), c.ok) << c.text;
    EXPECT_EQ(raw, c.ok ? c.raw : 7) << c.text;
  }
}

TEST(DataValuesTest, AmountFormatRoundTrips) {
  struct {
    int64_t raw;
    const char* text;
  } cases[] = {
      {0, "0"},
      {10000, "1"},
      {15000, "1.5"},
      {10001, "1.0001"},
      {-1, "-0.0001"},
      {-12345678, "-1234.5678"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mvhost::FormatAmountText(c.raw), c.text);
    int64_t back = 0;
    if (c.raw != std::numeric_limits<int64_t>::min()) {
      EXPECT_TRUE(mvhost::ParseAmountText(c.text, &back));
      EXPECT_EQ(back, c.raw);
    }
  }
}

TEST(DataValuesTest, Dates) {
  struct {
    const char* text;
    int32_t date;  // 0: refused
  } cases[] = {
      {"2014-04-01", 20140401}, {"2016-02-29", 20160229}, {"2000-02-29", 20000229},
      {"1900-02-29", 0},        {"2015-02-29", 0},        {"2014-04-31", 0},
      {"2014-13-01", 0},        {"2014-00-10", 0},        {"2014-4-01", 0},
      {"2014/04/01", 0},        {"20140401", 0},          {"2014-04-01 ", 0},
  };
  for (const auto& c : cases) {
    int32_t date = 0;
    EXPECT_EQ(mvhost::ParseDateText(c.text, &date), c.date != 0) << c.text;
    EXPECT_EQ(date, c.date) << c.text;
    if (c.date != 0) {
      EXPECT_EQ(mvhost::FormatDateText(c.date), c.text);
    }
  }
}

TEST(DataValuesTest, AccountingMonths) {
  struct {
    int32_t start;
    int32_t end;
    int32_t date;
    int32_t month;
  } cases[] = {
      // April to March, month ends.
      {20140401, 20150331, 20140401, 1},
      {20140401, 20150331, 20140430, 1},
      {20140401, 20150331, 20140501, 2},
      {20140401, 20150331, 20150331, 12},
      {20140401, 20150331, 20150401, 0},
      {20140401, 20150331, 20140331, 0},
      {20140101, 20141231, 20141231, 12},
      // Closing day 20: month 1 runs to the 20th of the next calendar month.
      {20140121, 20150120, 20140220, 1},
      {20140121, 20150120, 20140221, 2},
      {20140121, 20150120, 20150120, 12},
      // A first month shorter than a calendar month (closing at month ends).
      {20140410, 20150331, 20140430, 1},
      {20140410, 20150331, 20140505, 2},
      // Closing day 30 in February ends on the 28th.
      {20140101, 20141230, 20140130, 1},
      {20140101, 20141230, 20140131, 2},
      {20140101, 20141230, 20140228, 2},
      {20140101, 20141230, 20140301, 3},
      // Kind 12 takes the rest of a longer period.
      {20140401, 20150430, 20150415, 12},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mvhost::AccountingMonthOf(c.start, c.end, c.date), c.month)
        << c.start << ".." << c.end << " " << c.date;
  }
  EXPECT_EQ(mvhost::MonthKindEnd(20140401, 20150331, 6), 20140930);
  EXPECT_EQ(mvhost::MonthKindEnd(20140401, 20150331, 12), 20150331);
  EXPECT_EQ(mvhost::MonthKindEnd(20140121, 20150120, 1), 20140220);
  EXPECT_EQ(mvhost::MonthKindEnd(20140401, 20150430, 12), 20150331);
  EXPECT_EQ(mvhost::ClosingDayOf(20150228), 31);
  EXPECT_EQ(mvhost::ClosingDayOf(20160228), 28);
}

TEST(DataValuesTest, TaxClassBoundaries) {
  for (int32_t t = -1; t <= 256; ++t) {
    bool known =
        (t >= 0 && t <= 11) || (t >= 21 && t <= 27) || (t >= 30 && t <= 38) || (t >= 40 && t <= 46);
    EXPECT_EQ(mvhost::IsKnownTaxClass(t), known) << t;
  }
  // The edges explicitly, so that a shifted range cannot hide behind the loop.
  for (int32_t t : {0, 11, 21, 27, 30, 38, 40, 46}) EXPECT_TRUE(mvhost::IsKnownTaxClass(t)) << t;
  for (int32_t t : {12, 20, 28, 29, 39, 47}) EXPECT_FALSE(mvhost::IsKnownTaxClass(t)) << t;
}

TEST(DataValuesTest, ClassCodes) {
  uint32_t code = 0;
  EXPECT_TRUE(mvhost::ParseClassCodeText("0x40884400", &code));
  EXPECT_EQ(code, 0x40884400u);
  EXPECT_TRUE(mvhost::ParseClassCodeText("0xffffffff", &code));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  EXPECT_TRUE(mvhost::ParseClassCodeText("16", &code));
  EXPECT_EQ(code, 16u);
  for (const char* bad : {"0x100000000", "0x", "0xg1", "4294967296", "", "-1", "x1"}) {
    EXPECT_FALSE(mvhost::ParseClassCodeText(bad, &code)) << bad;
  }
  EXPECT_EQ(mvhost::FormatClassCodeText(0x40884400u), "0x40884400");
  EXPECT_EQ(mvhost::FormatClassCodeText(16), "0x00000010");
}

}  // namespace
