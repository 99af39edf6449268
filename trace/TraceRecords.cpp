#include "trace/TraceRecords.h"

#include <array>
#include <charconv>
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

// 1 to 4 digits of value (below 10000) at out, without leading zeros;
// returns their end.
[[gnu::always_inline]] inline char* PutShort(char* out, uint32_t value) {
  if (value < 100) {
    if (value < 10) {
      *out = static_cast<char>('0' + value);
      return out + 1;
    }
    PutPair(out, value);
    return out + 2;
  }
  if (value < 1000) {
    *out = static_cast<char>('0' + value / 100);
    PutPair(out + 1, value % 100);
    return out + 3;
  }
  PutPair(out, value / 100);
  PutPair(out + 2, value % 100);
  return out + 4;
}

// Exactly four digits of value (below 10000), leading zeros kept.
[[gnu::always_inline]] inline void PutFour(char* out, uint32_t value) {
  PutPair(out, value / 100);
  PutPair(out + 2, value % 100);
}

constexpr uint64_t kEight = 100000000;

// 1 to 8 digits of value (below 10^8) at out; returns their end.
[[gnu::always_inline]] inline char* PutUpToEight(char* out, uint32_t value) {
  if (value < 10000) return PutShort(out, value);
  out = PutShort(out, value / 10000);
  PutFour(out, value % 10000);
  return out + 4;
}

// An integer's digits at out, by its size: most integers of a row are
// short (one branch or two), amounts have eight digits and a few more.
[[gnu::always_inline]] inline char* PutInteger(char* out, int64_t value) {
  if (value < 0) *out++ = '-';
  const uint64_t rest = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (rest < kEight) return PutUpToEight(out, static_cast<uint32_t>(rest));
  const auto low = static_cast<uint32_t>(rest % kEight);
  const uint64_t high = rest / kEight;
  if (high < kEight) {
    out = PutUpToEight(out, static_cast<uint32_t>(high));
  } else {
    // Up to 20 digits: four more at most above the next eight.
    out = PutShort(out, static_cast<uint32_t>(high / kEight));
    const auto middle = static_cast<uint32_t>(high % kEight);
    PutFour(out, middle / 10000);
    PutFour(out + 4, middle % 10000);
    out += 8;
  }
  PutFour(out, low / 10000);
  PutFour(out + 4, low % 10000);
  return out + 8;
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

// A small column that is never negative in a row the host made (up to
// four digits), else the general form.
[[gnu::always_inline]] inline char* PutSmall(char* out, int64_t value) {
  return value >= 0 && value < 10000 ? PutShort(out, static_cast<uint32_t>(value))
                                     : PutInteger(out, value);
}

}  // namespace

char* PutLineRow(char* out, const LineRow& row) {
  // Column by column, the short ones without the general form's tests: the
  // rows are most of a large trace's integers.
  *out++ = '[';
  out = PutInteger(out, row.journal);
  *out++ = ',';
  out = PutInteger(out, row.line);
  *out++ = ',';
  if (row.date >= 10000000 && row.date < 100000000) {
    // yyyymmdd: always eight digits.
    PutFour(out, static_cast<uint32_t>(row.date) / 10000);
    PutFour(out + 4, static_cast<uint32_t>(row.date) % 10000);
    out += 8;
  } else {
    out = PutInteger(out, row.date);
  }
  *out++ = ',';
  out = PutSmall(out, row.monthKind);
  *out++ = ',';
  out = PutInteger(out, row.accountId);
  *out++ = ',';
  out = PutShort(out, row.debit);
  *out++ = ',';
  out = PutShort(out, row.taxClass);
  *out++ = ',';
  out = PutSmall(out, row.rate);
  *out++ = ',';
  out = PutShort(out, row.businessType);
  *out++ = ',';
  out = PutInteger(out, row.department);
  *out++ = ',';
  out = PutInteger(out, row.amount);
  *out++ = ',';
  out = PutInteger(out, row.tax);
  *out++ = ']';
  return out;
}

char* PutLineEntry(char* out, uint64_t index, TakenAmount taken, int64_t amount, bool asBooked) {
  // Nearly every entry: a row below 10^8 taken as booked, "[row,taken]".
  if (asBooked && index < kEight) {
    *out = '[';
    out = PutUpToEight(out + 1, static_cast<uint32_t>(index));
    out[0] = ',';
    out[1] = static_cast<char>('0' + static_cast<int>(taken));
    out[2] = ']';
    return out + 3;
  }
  if (asBooked) {
    const int64_t values[] = {static_cast<int64_t>(index), static_cast<int64_t>(taken)};
    return PutIntegers(out, values);
  }
  const int64_t values[] = {static_cast<int64_t>(index), static_cast<int64_t>(taken), amount};
  return PutIntegers(out, values);
}

static_assert(sizeof(LineEntryStart::text) <= kLineEntryText);

void StartLineEntries(uint64_t index, LineEntryStart* start) {
  start->index = index;
  start->size = 0;
  if (index >= kEight) return;
  start->text[0] = '[';
  char* const end = PutUpToEight(start->text + 1, static_cast<uint32_t>(index));
  *end = ',';
  start->size = static_cast<std::size_t>(end + 1 - start->text);
}

char* PutLineEntry(char* out, const LineEntryStart& start, TakenAmount taken, int64_t amount,
                   bool asBooked) {
  if (start.size == 0) return PutLineEntry(out, start.index, taken, amount, asBooked);
  // The whole start at its fixed size (out has room for the longest entry).
  std::memcpy(out, start.text, sizeof(start.text));
  out += start.size;
  *out++ = static_cast<char>('0' + static_cast<int>(taken));
  if (!asBooked) {
    *out++ = ',';
    out = PutInteger(out, amount);
  }
  *out++ = ']';
  return out;
}

bool ParseLineEntry(std::string_view text, LineEntryValues* entry) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
  text = text.substr(1, text.size() - 2);
  int64_t values[3] = {};
  int count = 0;
  for (bool more = true; more; ++count) {
    if (count == 3) return false;
    const std::size_t comma = text.find(',');
    const std::string_view number = text.substr(0, comma);
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), values[count]);
    if (error != std::errc() || end != number.data() + number.size()) return false;
    more = comma != std::string_view::npos;
    if (more) text.remove_prefix(comma + 1);
  }
  if (count < 2 || values[0] < 0 || values[1] < 0 || values[1] > 2) return false;
  entry->index = static_cast<uint64_t>(values[0]);
  entry->taken = static_cast<int>(values[1]);
  entry->hasAmount = count == 3;
  entry->amount = count == 3 ? values[2] : 0;
  return true;
}

void AppendLineRow(std::string& out, const LineRow& row) {
  char text[kLineRowText];
  out.append(text, PutLineRow(text, row));
}

void AppendLineEntry(std::string& out, uint64_t index, TakenAmount taken, int64_t amount,
                     bool asBooked) {
  char text[kLineEntryText];
  out.append(text, PutLineEntry(text, index, taken, amount, asBooked));
}

}  // namespace taxlink
