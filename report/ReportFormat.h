#ifndef TAXLINK_REPORT_REPORTFORMAT_H_
#define TAXLINK_REPORT_REPORTFORMAT_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "aggregation/TaxSummaryTables.h"
#include "report/FormTopics.h"

namespace taxlink {

// The report format as one table: every group of the file in order, every
// element of each group in order, what its text may hold and what feeds it.
// The DATA form groups are made from FormTopics(), the table their writers
// walk; the refund statements' writers take their element names from here.
// The schema (ReportSchema.h), the check sheet and docs/report-elements.md
// are made from this table.

// What an element's text may hold.
enum class ValueKind : uint8_t {
  kAmount,        // whole yen, "-" when negative, empty for zero
  kAmountOrZero,  // as kAmount, or "0" (KANPUK by journals writes zero as "0")
  kCode,          // "1" or "2"
  kCodeOrEmpty,   // "1", "2" or empty
  kInteger,       // a signed decimal: dates as yyyymmdd, the function id
  kText,          // any text
  kFixed,         // always the element's fixed text
};

// A refund statement element's sources. Journal mode reads `part` of `line`
// (or the raw amount `amount`); saved mode reads the statement amount
// `savedIndex` of the saved return. Code elements have neither.
struct StatementFeed {
  RefundLine TaxSummaryTables::*line = nullptr;
  int64_t RefundLine::*part = nullptr;
  int64_t TaxSummaryTables::*amount = nullptr;
  int8_t savedIndex = -1;  // index into StSaveTaxInfo::refundAmounts
};

struct ElementFormat {
  std::string name;  // the element name as written
  ValueKind kind = ValueKind::kText;
  const char* fixed = nullptr;          // kFixed: the text
  const char* journalSource = nullptr;  // SYSTEM, BASIC, codes: what feeds it
  const char* savedSource = nullptr;    // the same in saved-return mode
  const FormElement* form = nullptr;    // DATA form groups: the writers' row
  StatementFeed statement;              // KANPUH, KANPUK amounts
};

struct GroupFormat {
  std::string name;    // SYSTEM, BASIC, D020110 ... D020232, KANPUH, KANPUK
  bool inData;         // a child of DATA (else of REPORT)
  int topic = -1;      // index into FormTopics() for the form groups
  int rateIndex = -1;  // 0, 1, 2 (8, 5, 3 %) for the form groups
  std::vector<ElementFormat> elements;
};

// Every group of the report in file order.
const std::vector<GroupFormat>& ReportFormat();

// The group of that name, or null.
const GroupFormat* FindGroup(const std::string& name);

// The two refund statements (also in ReportFormat()).
const GroupFormat& KanpuhFormat();
const GroupFormat& KanpukFormat();

// The rate in percent of a rate index (8, 5, 3).
int RatePercent(int rateIndex);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTFORMAT_H_
