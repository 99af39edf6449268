#include "host/ClRuleShiwake.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "host/HostStatus.h"
#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxClassRules.h"

struct ClRuleShiwake::Query {
  mvhost::SqlStatement walk;
};

namespace {

// Prepares a statement over the matching journal lines of the object's data
// set: "SELECT <columns> FROM journal_line j WHERE <data set and filter>
// <tail>", with the filter's values bound after extraValues.
int32_t PrepareLines(const char* purpose, const mvhost::RuleBinding& binding,
                     const StFINDINFO* filter, const std::string& columns, const std::string& extraCondition,
                     const std::vector<int64_t>& extraValues, const std::string& tail,
                     mvhost::SqlStatement* stmt) {
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding.Resolve(&db, &dataNo);
  if (status != 0) return status;
  mvhost::SqlFilter where;
  status = mvhost::TranslateFilter(filter, mvhost::FilterTarget::kJournalLine, &where);
  if (status != 0) return status;
  status = stmt->Prepare(db, "SELECT " + columns + " FROM journal_line j WHERE j.data_no = ? " +
                                 extraCondition + " AND " + where.sql + " " + tail,
                         purpose);
  if (status != 0) return status;
  stmt->BindInt(1, dataNo);
  stmt->BindAll(2, extraValues);
  stmt->BindAll(2 + static_cast<int>(extraValues.size()), where.values);
  return 0;
}

int32_t CountLines(const char* purpose, const mvhost::RuleBinding& binding, const StFINDINFO* filter,
                   const std::string& extraCondition, const std::vector<int64_t>& extraValues,
                   int32_t* count) {
  mvhost::SqlStatement stmt;
  int32_t status =
      PrepareLines(purpose, binding, filter, "COUNT(*)", extraCondition, extraValues, "", &stmt);
  if (status != 0) return status;
  int32_t step = stmt.Step();
  if (step < 0) return step;
  *count = static_cast<int32_t>(stmt.Int(0));
  return 0;
}

}  // namespace

ClRuleShiwake::ClRuleShiwake() : query_(new Query) {}

ClRuleShiwake::~ClRuleShiwake() { delete query_; }

MVHOST_DEFINE_HOST_NEW(ClRuleShiwake)

int32_t ClRuleShiwake::GetSwkCount(const StFINDINFO* filter, const void* /*displayInfo*/,
                                   int32_t* count) {
  MVHOST_FAULT_POINT("ClRuleShiwake::GetSwkCount");
  if (count == nullptr) return mvhost::kErrBadArgument;
  return CountLines("count the journal lines", *context_, filter, "", {}, count);
}

int32_t ClRuleShiwake::MoveReady(const StFINDINFO* filter, const void* /*order*/,
                                 const void* /*displayInfo*/, int32_t /*cursorType*/) {
  MVHOST_FAULT_POINT("ClRuleShiwake::MoveReady");
  // Lines come in the store's line order (its primary key, so no sort).
  return PrepareLines("walk the journal lines", *context_, filter,
                      "j.journal_no, j.line_id, j.date, j.month_kind, j.tax_rate, "
                      "j.business_type, j.debit_account, j.debit_dept, j.debit_amount, "
                      "j.debit_tax, j.debit_tax_class, j.credit_account, j.credit_dept, "
                      "j.credit_amount, j.credit_tax, j.credit_tax_class",
                      "", {}, "ORDER BY j.line_id", &query_->walk);
}

int32_t ClRuleShiwake::MoveNext(StSWKTINFO* out) {
  MVHOST_FAULT_POINT("ClRuleShiwake::MoveNext");
  if (out == nullptr) return mvhost::kErrBadArgument;
  mvhost::SqlStatement& walk = query_->walk;
  if (!walk.IsPrepared()) return mvhost::kErrNotReady;
  int32_t step = walk.Step();
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  std::memset(out, 0, sizeof(*out));
  out->journalId = static_cast<int32_t>(walk.Int(0));
  out->lineNo = static_cast<int32_t>(walk.Int(1));
  out->date = static_cast<int32_t>(walk.Int(2));
  out->monthKind = static_cast<int16_t>(walk.Int(3));
  out->taxRate = static_cast<int32_t>(walk.Int(4));
  out->businessType = static_cast<uint8_t>(walk.Int(5));
  out->debitAccountId = static_cast<int32_t>(walk.Int(6));
  out->debitDeptCode = static_cast<int32_t>(walk.Int(7));
  out->debitAmount = walk.Int(8);
  out->debitTax = walk.Int(9);
  out->debitTaxClass = static_cast<uint8_t>(walk.Int(10));
  out->creditAccountId = static_cast<int32_t>(walk.Int(11));
  out->creditDeptCode = static_cast<int32_t>(walk.Int(12));
  out->creditAmount = walk.Int(13);
  out->creditTax = walk.Int(14);
  out->creditTaxClass = static_cast<uint8_t>(walk.Int(15));
  return 0;
}

int32_t ClRuleShiwake::MoveFinish() {
  MVHOST_FAULT_POINT("ClRuleShiwake::MoveFinish");
  query_->walk.Finalize();
  return 0;
}

int32_t ClRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags,
                                              int32_t /*mode*/) {
  MVHOST_FAULT_POINT("ClRuleShiwake::CheckExistSwkByZeiRate");
  if (flags == nullptr) return mvhost::kErrBadArgument;
  // Bit 0: 3 %, bit 1: 5 %, bit 2: 8 %, bit 3: 10 %, bit 4: any other rate.
  // Each range of effective rates is one existence probe that seeks into the
  // tax-return index and stops at the first matching line, instead of
  // reading every line for its rate. Half-open ranges [r, r + 1) take a
  // non-integer rate the way an integer reading of it would.
  struct Probe {
    bool hasLow;
    int64_t low;
    bool hasHigh;
    int64_t high;  // exclusive
    uint32_t bit;
  };
  static constexpr Probe kProbes[] = {
      {true, 300, true, 301, 1},     {true, 500, true, 501, 2},
      {true, 800, true, 801, 4},     {true, 1000, true, 1001, 8},
      {false, 0, true, 300, 16},     {true, 301, true, 500, 16},
      {true, 501, true, 800, 16},    {true, 801, true, 1000, 16},
      {true, 1001, false, 0, 16},
  };
  const std::string rate = mvhost::kEffectiveRateSql;
  uint32_t found = 0;
  for (const Probe& probe : kProbes) {
    if ((found & probe.bit) != 0) continue;
    std::string condition;
    std::vector<int64_t> values;
    if (probe.hasLow) {
      condition += " AND " + rate + " >= ?";
      values.push_back(probe.low);
    }
    if (probe.hasHigh) {
      condition += " AND " + rate + " < ?";
      values.push_back(probe.high);
    }
    mvhost::SqlStatement stmt;
    int32_t status = PrepareLines("look for journal lines at a rate", *context_, filter, "1",
                                  condition, values, "LIMIT 1", &stmt);
    if (status != 0) return status;
    int32_t step = stmt.Step();
    if (step < 0) return step;
    if (step == 1) found |= probe.bit;
  }
  *flags |= found;
  return 0;
}

int32_t ClRuleShiwake::CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType,
                                                  int32_t* count) {
  MVHOST_FAULT_POINT("ClRuleShiwake::CheckExistSwkByJigyoBunrui");
  if (count == nullptr) return mvhost::kErrBadArgument;
  return CountLines("count the journal lines of a business type", *context_, filter,
                    "AND j.business_type = ?", {businessType}, count);
}
