// The trace's text of amounts and line rows, made straight from integers:
// signs, fractions and the limits of 64 bits; the report's hash that ties a
// trace to its report.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "trace/Sha256.h"
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

// Published test vectors: empty, one block, and a message that needs a
// second padding block.
TEST(TraceTextTest, Sha256IsTheStandardDigestInLowerCaseHex) {
  const struct {
    std::string bytes;
    const char* hex;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Sha256Hex(c.bytes), c.hex) << c.bytes.size();
}

// Lengths either side of where the padding needs a second block and of a
// whole block, in bytes above 0x7F (a signed char would corrupt the words).
TEST(TraceTextTest, Sha256PadsEveryLengthAroundABlock) {
  const struct {
    std::size_t size;
    const char* hex;
  } cases[] = {
      {55, "e7313d333c272e639f790978283f9eb392e843d0f29b7016828bb1daa4aac70b"},
      {56, "4324d65f3c103567f5589c710bc08f8523f929a9272e3af36fc968e52abc6c27"},
      {63, "81c80242132f230c3bd41b3e63bbcff16107339549214a99614ff26664625055"},
      {64, "39e3d7b6b5d075d37d053ad89b24b41bef4f3c29760c84447cab3f3be1882241"},
      {65, "aacca6ff74fdbb296d165a45cecfa04e5127bc008770fbbdd48006f2d2fae95e"},
      {119, "9ce7368e4daf32341631b492e80359dc9f594b48453cd0dd5bf0b19279cc177e"},
      {120, "7836b787757e95e58b3ca5aec90b1b004e8deba1e50e9675af9cabf1a13a04b5"},
  };
  for (const auto& c : cases) {
    std::string bytes(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 256);
    EXPECT_EQ(Sha256Hex(bytes), c.hex) << c.size;
  }
}

TEST(TraceTextTest, LineRowsAndEntriesAreIntegersInTheirColumns) {
  const LineRow row{7, 12, 20140405, 15, 300, 800, 101, 1, 21, 3, 0, 7200000, -576000};
  std::string text = "x";
  AppendLineRow(text, row);
  EXPECT_EQ(text, "x[7,12,20140405,15,300,1,21,800,3,101,7200000,-576000]");
  const int64_t kMin = std::numeric_limits<int64_t>::min();
  const LineRow extremes{
      -1, 0, 0, 18, 0, 0, 0, 0, 255, 0, 0, kMin, std::numeric_limits<int64_t>::max()};
  text.clear();
  AppendLineRow(text, extremes);
  EXPECT_EQ(text, "[-1,0,0,18,0,0,255,0,0,0,-9223372036854775808,9223372036854775807]");
  // Columns beyond their usual widths (a date of nine digits, a negative
  // month kind, a rate of five digits) are written as they are.
  text.clear();
  AppendLineRow(text, LineRow{1, 2, 123456789, -3, 4, 12345, 5, 1, 6, 7, 0, 8, 9});
  EXPECT_EQ(text, "[1,2,123456789,-3,4,1,6,12345,7,5,8,9]");
  text.clear();
  AppendLineEntry(text, 41, TakenAmount::kTax, -576000);
  AppendLineEntry(text, UINT64_C(4000000000), TakenAmount::kIncludingTax, kMin);
  EXPECT_EQ(text, "[41,1,-576000][4000000000,2,-9223372036854775808]");
  // An entry that took what its row booked leaves the amount to the row.
  text.clear();
  AppendLineEntry(text, 41, TakenAmount::kTax, -576000, true);
  EXPECT_EQ(text, "[41,1]");
  // Rows of every digit count, below and beyond the eight of the short form.
  // The same from a row's start made once for its entries, with and
  // without the amount.
  for (uint64_t tens = 1; tens <= UINT64_C(100000000000); tens *= 10) {
    for (const uint64_t index : {tens - 1, tens, 9 * tens + 7}) {
      text.clear();
      AppendLineEntry(text, index, TakenAmount::kIncludingTax, 0, true);
      EXPECT_EQ(text, "[" + std::to_string(index) + ",2]");
      LineEntryStart start{};
      StartLineEntries(index, &start);
      for (const bool asBooked : {true, false}) {
        char entry[kLineEntryText];
        char* end = PutLineEntry(entry, start, TakenAmount::kTax, kMin, asBooked);
        text.clear();
        AppendLineEntry(text, index, TakenAmount::kTax, kMin, asBooked);
        EXPECT_EQ(std::string(entry, static_cast<std::size_t>(end - entry)), text);
      }
    }
  }
  int64_t booked = 0;
  EXPECT_TRUE(BookedAmount(7200000, -576000, TakenAmount::kIncludingTax, &booked));
  EXPECT_EQ(booked, 6624000);
  EXPECT_FALSE(BookedAmount(kMin, -1, TakenAmount::kIncludingTax, &booked));
  // Every digit count, at its edges, as the standard conversion writes it.
  int64_t power = 1;
  for (int exponent = 0; exponent <= 18; ++exponent) {
    for (const int64_t value : {power - 1, power, power + 1, -power, 7 * power}) {
      text.clear();
      AppendLineEntry(text, 0, TakenAmount::kExcludingTax, value);
      EXPECT_EQ(text, "[0,0," + std::to_string(value) + "]");
    }
    if (exponent < 18) power *= 10;
  }
  // Numbers of every length (a 19-digit number halved again and again) and
  // a spread of others, against the standard conversion.
  uint64_t state = 88172645463325252u;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const auto value = static_cast<int64_t>(state >> (i % 63 + 1));
    const int64_t digits = 1234567890123456789 / (int64_t{1} << (i % 61));
    for (const int64_t v : {value, -value, digits, -digits}) {
      text.clear();
      AppendLineEntry(text, static_cast<uint64_t>(i), TakenAmount::kTax, v);
      ASSERT_EQ(text, "[" + std::to_string(i) + ",1," + std::to_string(v) + "]");
    }
  }
}

}  // namespace
}  // namespace taxlink
