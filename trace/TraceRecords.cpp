#include "trace/TraceRecords.h"

#include <charconv>

namespace taxlink {

namespace {

// A JSON array of integers, formatted without locale or stream.
template <std::size_t N>
void AppendIntegers(std::string& out, const int64_t (&values)[N]) {
  char text[N * 21 + 2];
  char* end = text;
  *end++ = '[';
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) *end++ = ',';
    end = std::to_chars(end, text + sizeof(text), values[i]).ptr;
  }
  *end++ = ']';
  out.append(text, end);
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
