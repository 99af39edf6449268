#include "host/ClRuleShohizeiShinkoku.h"

#include <array>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "host/FilterCondition.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptClassTotals.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxClassRules.h"
#include "mvhost/lib/TaxLineTracer.h"
#include "mvhost/lib/TaxReturnSums.h"

namespace mvhost {

namespace {

// The return summation on the store: the lines grouped by rate,
// business type and both tax classes (from the totals per tax class the
// derived data's check kept, else by SQL); TaxReturnSums adds them up.
class SqliteRuleShohizeiShinkoku : public BoundObject<ClRuleShohizeiShinkoku::Impl> {
 public:
  int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter, StTAXREPORTRATEINFO* rates,
                 StTAXREPORTBUSINESSTYPEINFO* businessTypes) override;
  int32_t TraceTax(uint8_t filingClass, const StFINDINFO* filter, const StTAXREPORTRATEINFO* rates,
                   TaxLineSink* sink) override;

 private:
  // The store and data set of the object, and the filter as SQL.
  int32_t Start(const StFINDINFO* filter, sqlite3** db, int32_t* dataNo, SqlFilter* where,
                ReadScope* scope) {
    const int32_t status = context_.Resolve(db, dataNo, scope);
    return status != 0 ? status : TranslateFilter(filter, FilterTarget::kJournalLine, where);
  }
};

// The groups of SumTax's query over the totals per tax class (rate,
// business type, both tax classes; in that order, as GROUP BY gives them)
// from the rows the derived data's check kept. *answered false when none
// are kept, or when a group's sum would pass 64 bits (SQL then fails the
// sum as it always did).
using ClassGroups = std::map<std::array<int32_t, 4>, std::array<int64_t, 4>>;
int32_t GroupKeptTotals(sqlite3* db, int32_t dataNo, const StFINDINFO* filter, ClassGroups* groups,
                        bool* answered) {
  bool overflow = false;
  const int32_t status =
      ForEachKeptClassTotal(db, dataNo, filter, answered, [&](const ClassTotal& row) {
        std::array<int64_t, 4>& sums =
            (*groups)[{row.rate, row.businessType, row.debitTaxClass, row.creditTaxClass}];
        const std::array<int64_t, 4> add{row.debitAmount, row.debitTax, row.creditAmount,
                                         row.creditTax};
        for (size_t i = 0; i < sums.size(); ++i) {
          overflow = overflow || __builtin_add_overflow(sums[i], add[i], &sums[i]);
        }
      });
  if (overflow) *answered = false;
  return status;
}

int32_t SqliteRuleShohizeiShinkoku::SumTax(uint8_t filingClass, const StFINDINFO* filter,
                                           StTAXREPORTRATEINFO* rates,
                                           StTAXREPORTBUSINESSTYPEINFO* businessTypes) {
  if (rates == nullptr || businessTypes == nullptr || filingClass > 2) return kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  SqlFilter where;
  ReadScope scope;
  int32_t status = Start(filter, &db, &dataNo, &where, &scope);
  if (status != 0) return status;

  // From the totals per tax class when the filter is on tax classes and
  // month kinds only, else by one scan of the lines.
  const bool fromTotals = FilterUsesOnlyFields(filter, {kFieldTaxClass, kFieldMonthKind});
  TaxReturnSums sums(rates);
  auto finish = [&]() -> int32_t {
    if (!sums.Finish()) return kErrOverflow;
    sums.Write(rates, businessTypes);
    return sums.leftOut() ? kErrLinesLeftOut : 0;
  };
  if (fromTotals) {
    status = JournalDerived::Ensure(db, dataNo);
    if (status != 0) return status;
    ClassGroups groups;
    bool answered = false;
    status = GroupKeptTotals(db, dataNo, filter, &groups, &answered);
    if (status != 0) return status;
    if (answered) {
      for (const auto& [key, group] : groups) {
        if (!sums.Add(key[0], key[1], key[2], key[3], group[0], group[1], group[2], group[3])) {
          return kErrOverflow;
        }
      }
      return finish();
    }
  }
  SqlStatement stmt;
  status = stmt.Prepare(
      db,
      fromTotals ? "SELECT j.rate, j.business_type, j.debit_tax_class, j.credit_tax_class, "
                   "SUM(j.debit_amount), SUM(j.debit_tax), SUM(j.credit_amount), SUM(j.credit_tax) "
                   "FROM journal_class_total j WHERE j.data_no = ? AND " +
                       where.sql + " GROUP BY 1, 2, 3, 4"
                 : std::string("SELECT ") + kEffectiveRateSql +
                       " AS rate, j.business_type, j.debit_tax_class, j.credit_tax_class, "
                       "SUM(CASE WHEN j.debit_account IS NULL THEN 0 ELSE j.debit_amount END), "
                       "SUM(CASE WHEN j.debit_account IS NULL THEN 0 ELSE j.debit_tax END), "
                       "SUM(CASE WHEN j.credit_account IS NULL THEN 0 ELSE j.credit_amount END), "
                       "SUM(CASE WHEN j.credit_account IS NULL THEN 0 ELSE j.credit_tax END) "
                       "FROM journal_line j WHERE j.data_no = ? AND " +
                       where.sql + " GROUP BY 1, 2, 3, 4",
      "sum the tax return");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindAll(2, where.values);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    if (!sums.Add(stmt.Int(0), static_cast<int>(stmt.Int(1)), static_cast<int>(stmt.Int(2)),
                  static_cast<int>(stmt.Int(3)), stmt.Int(4), stmt.Int(5), stmt.Int(6),
                  stmt.Int(7))) {
      return kErrOverflow;
    }
  }
  if (step < 0) return step;
  return finish();
}

// The lines one by one, in line order, from the packed lines (the walk
// reads no SQL row per line).
int32_t SqliteRuleShohizeiShinkoku::TraceTax(uint8_t filingClass, const StFINDINFO* filter,
                                             const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) {
  if (rates == nullptr || sink == nullptr || filingClass > 2) return kErrBadArgument;
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo, &scope);
  if (status == 0) status = JournalDerived::Ensure(db, dataNo);
  if (status != 0) return status;
  TaxLineTracer tracer;
  status = tracer.Open(db, dataNo, filter, rates, sink);
  if (status != 0) return status;
  PackedLineReader reader;
  status = reader.Open(db, dataNo);
  if (status != 0) return status;
  const PackedLine* line = nullptr;
  int32_t step = 0;
  while ((step = reader.Next(&line)) == 1) {
    status = tracer.Report(*line);
    if (status != 0) return status;
  }
  return step < 0 ? step : 0;
}

}  // namespace

ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() {
  return new (std::nothrow) SqliteRuleShohizeiShinkoku;
}

}  // namespace mvhost
