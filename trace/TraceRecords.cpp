#include "trace/TraceRecords.h"

#include <charconv>

namespace taxlink {

namespace {

// An integer's digits at out; most columns are small (a month kind, a
// side, a tax class), which skip the general conversion.
char* PutInteger(char* out, char* last, int64_t value) {
  if (value >= 0 && value < 10) {
    *out = static_cast<char>('0' + value);
    return out + 1;
  }
  if (value >= 10 && value < 100) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
  }
  return std::to_chars(out, last, value).ptr;
}

// A JSON array of integers, formatted without locale or stream.
template <std::size_t N>
void AppendIntegers(std::string& out, const int64_t (&values)[N]) {
  char text[N * 21 + 2];
  char* end = text;
  *end++ = '[';
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) *end++ = ',';
    end = PutInteger(end, text + sizeof(text), values[i]);
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
