#include "trace/TraceRecords.h"

#include <array>
#include <cstring>

namespace taxlink {

namespace {

// "00" to "99".
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

void PutPair(char* out, uint32_t pair) { std::memcpy(out, &kDigitPairs[2 * pair], 2); }

// An integer's digits at out, four at a time from the end (the line table is
// millions of them). Writes up to kIntegerRoom bytes from out (its sign and a
// fixed 20); returns the end of the digits.
constexpr std::size_t kIntegerRoom = 24;
char* PutInteger(char* out, int64_t value) {
  if (value < 0) *out++ = '-';
  uint64_t rest = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  // The digits end at digits + 20; the copy below reads 20 bytes from the
  // first, so the array holds 40.
  char digits[40];
  char* first = digits + 20;
  while (rest >= 10000) {
    const auto four = static_cast<uint32_t>(rest % 10000);
    rest /= 10000;
    first -= 4;
    PutPair(first, four / 100);
    PutPair(first + 2, four % 100);
  }
  auto last = static_cast<uint32_t>(rest);
  if (last >= 100) {
    first -= 2;
    PutPair(first, last % 100);
    last /= 100;
  }
  if (last >= 10) {
    first -= 2;
    PutPair(first, last);
  } else {
    *--first = static_cast<char>('0' + last);
  }
  // A copy of fixed size: cheaper than one of the digits' length.
  const auto count = static_cast<std::size_t>(digits + 20 - first);
  std::memcpy(out, first, 20);
  return out + count;
}

// A JSON array of integers, formatted without locale or stream.
template <std::size_t N>
void AppendIntegers(std::string& out, const int64_t (&values)[N]) {
  char text[N * 22 + kIntegerRoom];
  char* end = text;
  *end++ = '[';
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) *end++ = ',';
    end = PutInteger(end, values[i]);
  }
  *end++ = ']';
  out.append(text, static_cast<std::size_t>(end - text));
}

}  // namespace

void AppendLineRow(std::string& out, const LineRow& row) {
  const int64_t values[] = {row.journal,      row.line,       row.date,     row.monthKind,
                            row.accountId,    row.debit,      row.taxClass, row.rate,
                            row.businessType, row.department, row.amount,   row.tax};
  AppendIntegers(out, values);
}

void AppendLineEntry(std::string& out, uint64_t index, TakenAmount taken, int64_t amount) {
  const int64_t values[] = {static_cast<int64_t>(index), static_cast<int64_t>(taken), amount};
  AppendIntegers(out, values);
}

}  // namespace taxlink
