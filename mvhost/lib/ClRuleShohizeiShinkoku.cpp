#include "host/ClRuleShohizeiShinkoku.h"

#include <new>
#include <string>

#include "host/FilterCondition.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxClassRules.h"
#include "mvhost/lib/TaxReturnSums.h"

namespace mvhost {

namespace {

// The return summation on the store: SQL groups the lines by rate,
// business type and both tax classes; TaxReturnSums adds the groups up.
class SqliteRuleShohizeiShinkoku : public BoundObject<ClRuleShohizeiShinkoku::Impl> {
 public:
  int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter, StTAXREPORTRATEINFO* rates,
                 StTAXREPORTBUSINESSTYPEINFO* businessTypes) override;
};

int32_t SqliteRuleShohizeiShinkoku::SumTax(uint8_t filingClass, const StFINDINFO* filter,
                                           StTAXREPORTRATEINFO* rates,
                                           StTAXREPORTBUSINESSTYPEINFO* businessTypes) {
  if (rates == nullptr || businessTypes == nullptr || filingClass > 2) return kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo);
  if (status != 0) return status;
  SqlFilter where;
  status = TranslateFilter(filter, FilterTarget::kJournalLine, &where);
  if (status != 0) return status;

  // From the totals per tax class when the filter is on tax classes and
  // month kinds only, else by one scan of the lines.
  const bool fromTotals = FilterUsesOnlyFields(filter, {kFieldTaxClass, kFieldMonthKind});
  if (fromTotals) {
    status = JournalDerived::Ensure(db, dataNo);
    if (status != 0) return status;
  }
  SqlStatement stmt;
  status = stmt.Prepare(
      db,
      fromTotals
          ? "SELECT j.rate, j.business_type, j.debit_tax_class, j.credit_tax_class, "
            "SUM(j.debit_amount), SUM(j.debit_tax), SUM(j.credit_amount), SUM(j.credit_tax) "
            "FROM journal_class_total j WHERE j.data_no = ? AND " + where.sql +
                " GROUP BY 1, 2, 3, 4"
          : std::string("SELECT ") + kEffectiveRateSql +
                " AS rate, j.business_type, j.debit_tax_class, j.credit_tax_class, "
                "SUM(CASE WHEN j.debit_account IS NULL THEN 0 ELSE j.debit_amount END), "
                "SUM(CASE WHEN j.debit_account IS NULL THEN 0 ELSE j.debit_tax END), "
                "SUM(CASE WHEN j.credit_account IS NULL THEN 0 ELSE j.credit_amount END), "
                "SUM(CASE WHEN j.credit_account IS NULL THEN 0 ELSE j.credit_tax END) "
                "FROM journal_line j WHERE j.data_no = ? AND " + where.sql +
                " GROUP BY 1, 2, 3, 4",
      "sum the tax return");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindAll(2, where.values);
  TaxReturnSums sums(rates);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    if (!sums.Add(stmt.Int(0), static_cast<int>(stmt.Int(1)), static_cast<int>(stmt.Int(2)),
                  static_cast<int>(stmt.Int(3)), stmt.Int(4), stmt.Int(5), stmt.Int(6),
                  stmt.Int(7))) {
      return kErrOverflow;
    }
  }
  if (step < 0) return step;
  if (!sums.Finish()) return kErrOverflow;
  sums.Write(rates, businessTypes);
  return sums.leftOut() ? kErrLinesLeftOut : 0;
}

}  // namespace

ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() {
  return new (std::nothrow) SqliteRuleShohizeiShinkoku;
}

}  // namespace mvhost
