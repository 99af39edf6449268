#include "trace/TraceRecords.h"

#include <array>
#include <bit>
#include <cstring>

namespace taxlink {

namespace {

// "00" to "99".
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

void PutPair(char* out, uint32_t pair) { std::memcpy(out, &kDigitPairs[2 * std::size_t{pair}], 2); }

// 10^0 to 10^19.
constexpr std::array<uint64_t, 20> kPowersOfTen = [] {
  std::array<uint64_t, 20> powers{};
  uint64_t power = 1;
  for (uint64_t& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// An integer's digits at out, written in place four at a time from the end
// (the line table is millions of them); returns the end of the digits.
char* PutInteger(char* out, int64_t value) {
  if (value < 0) *out++ = '-';
  uint64_t rest = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (rest < 10) {
    *out = static_cast<char>('0' + rest);
    return out + 1;
  }
  // The number of digits from the bit width (log10 2 is about 1233 / 4096).
  const auto estimate = static_cast<std::size_t>((std::bit_width(rest) * 1233) >> 12);
  char* const end = out + estimate + (rest >= kPowersOfTen[estimate] ? 1 : 0);
  char* at = end;
  while (rest >= 10000) {
    const auto four = static_cast<uint32_t>(rest % 10000);
    rest /= 10000;
    at -= 4;
    PutPair(at, four / 100);
    PutPair(at + 2, four % 100);
  }
  auto last = static_cast<uint32_t>(rest);
  if (last >= 100) {
    at -= 2;
    PutPair(at, last % 100);
    last /= 100;
  }
  if (last >= 10) {
    PutPair(at - 2, last);
  } else {
    at[-1] = static_cast<char>('0' + last);
  }
  return end;
}

// A JSON array of integers at out, formatted without locale or stream.
template <std::size_t N>
char* PutIntegers(char* out, const int64_t (&values)[N]) {
  *out++ = '[';
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) *out++ = ',';
    out = PutInteger(out, values[i]);
  }
  *out++ = ']';
  return out;
}

}  // namespace

char* PutLineRow(char* out, const LineRow& row) {
  const int64_t values[] = {row.journal,      row.line,       row.date,     row.monthKind,
                            row.accountId,    row.debit,      row.taxClass, row.rate,
                            row.businessType, row.department, row.amount,   row.tax};
  return PutIntegers(out, values);
}

char* PutLineEntry(char* out, uint64_t index, TakenAmount taken, int64_t amount) {
  const int64_t values[] = {static_cast<int64_t>(index), static_cast<int64_t>(taken), amount};
  return PutIntegers(out, values);
}

void AppendLineRow(std::string& out, const LineRow& row) {
  char text[kLineRowText];
  out.append(text, PutLineRow(text, row));
}

void AppendLineEntry(std::string& out, uint64_t index, TakenAmount taken, int64_t amount) {
  char text[kLineEntryText];
  out.append(text, PutLineEntry(text, index, taken, amount));
}

}  // namespace taxlink
