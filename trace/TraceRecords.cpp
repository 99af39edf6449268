#include "trace/TraceRecords.h"

#include "trace/YenText.h"

namespace taxlink {

const char* TakenName(TakenAmount taken) {
  switch (taken) {
    case TakenAmount::kExcludingTax:
      return "excluding_tax";
    case TakenAmount::kTax:
      return "tax";
    case TakenAmount::kIncludingTax:
      return "including_tax";
  }
  return "";
}

void AppendLineRow(std::string& out, const LineRow& row) {
  // The columns of docs/trace.md's line table, in their order.
  out += "\n[";
  for (int64_t value : {int64_t{row.journal}, int64_t{row.line}, int64_t{row.date},
                        int64_t{row.monthKind}, int64_t{row.accountId}}) {
    AppendInteger(out, value);
    out += ',';
  }
  out += row.debit != 0 ? "\"debit\"" : "\"credit\"";
  for (int64_t value : {int64_t{row.taxClass}, int64_t{row.rate}, int64_t{row.businessType},
                        int64_t{row.department}}) {
    out += ',';
    AppendInteger(out, value);
  }
  // The recorder refuses a side whose amounts overflow their sum.
  for (int64_t amount : {row.amount, row.tax, row.amount + row.tax}) {
    out += ",\"";
    AppendYen(out, amount);
    out += '"';
  }
  out += ']';
}

void AppendLineEntry(std::string& out, const LineEntry& entry) {
  out += "\n{\"kind\":\"line\",\"amount\":\"";
  AppendYen(out, entry.amount);
  out += "\",\"line\":";
  AppendInteger(out, static_cast<int64_t>(entry.index));
  out += ",\"taken\":\"";
  out += TakenName(static_cast<TakenAmount>(entry.taken));
  out += "\"}";
}

}  // namespace taxlink
