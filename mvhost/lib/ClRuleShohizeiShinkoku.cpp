#include "host/ClRuleShohizeiShinkoku.h"

#include <cstring>
#include <new>
#include <string>

#include "host/FilterCondition.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/RecordText.h"
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
  int32_t TraceTax(uint8_t filingClass, const StFINDINFO* filter, const StTAXREPORTRATEINFO* rates,
                   TaxLineSink* sink) override;

 private:
  // The store and data set of the object, and the filter as SQL.
  int32_t Start(const StFINDINFO* filter, sqlite3** db, int32_t* dataNo, SqlFilter* where) {
    const int32_t status = context_.Resolve(db, dataNo);
    return status != 0 ? status : TranslateFilter(filter, FilterTarget::kJournalLine, where);
  }
};

int32_t SqliteRuleShohizeiShinkoku::SumTax(uint8_t filingClass, const StFINDINFO* filter,
                                           StTAXREPORTRATEINFO* rates,
                                           StTAXREPORTBUSINESSTYPEINFO* businessTypes) {
  if (rates == nullptr || businessTypes == nullptr || filingClass > 2) return kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  SqlFilter where;
  int32_t status = Start(filter, &db, &dataNo, &where);
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

// The lines one by one, in line order, with both sides' accounts; a side
// without an account adds nothing, as in SumTax.
int32_t SqliteRuleShohizeiShinkoku::TraceTax(uint8_t filingClass, const StFINDINFO* filter,
                                             const StTAXREPORTRATEINFO* rates,
                                             TaxLineSink* sink) {
  if (rates == nullptr || sink == nullptr || filingClass > 2) return kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  SqlFilter where;
  int32_t status = Start(filter, &db, &dataNo, &where);
  if (status != 0) return status;
  SqlStatement stmt;
  status = stmt.Prepare(
      db,
      std::string("SELECT j.journal_no, j.line_id, j.date, j.month_kind, ") + kEffectiveRateSql +
          ", j.business_type, "
          "j.debit_account, j.debit_dept, j.debit_amount, j.debit_tax, j.debit_tax_class, "
          "da.code, da.name, "
          "j.credit_account, j.credit_dept, j.credit_amount, j.credit_tax, j.credit_tax_class, "
          "ca.code, ca.name "
          "FROM journal_line j "
          "LEFT JOIN account da ON da.data_no = j.data_no AND da.account_id = j.debit_account "
          "LEFT JOIN account ca ON ca.data_no = j.data_no AND ca.account_id = j.credit_account "
          "WHERE j.data_no = ? AND " + where.sql + " ORDER BY j.line_id",
      "trace the tax return");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindAll(2, where.values);
  const TaxReturnSums sums(rates);
  TaxLineSide side;
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    for (int s = 0; s < 2; ++s) {
      const int c = 6 + 7 * s;  // first column of the side
      if (stmt.IsNull(c)) continue;
      std::memset(&side, 0, sizeof(side));
      side.journalId = static_cast<int32_t>(stmt.Int(0));
      side.lineNo = static_cast<int32_t>(stmt.Int(1));
      side.date = static_cast<int32_t>(stmt.Int(2));
      side.monthKind = static_cast<int16_t>(stmt.Int(3));
      side.rate = static_cast<int32_t>(stmt.Int(4));
      side.businessType = static_cast<uint8_t>(stmt.Int(5));
      side.debit = s == 0;
      side.accountId = static_cast<int32_t>(stmt.Int(c));
      side.department = static_cast<int32_t>(stmt.Int(c + 1));
      side.amount = stmt.Int(c + 2);
      side.tax = stmt.Int(c + 3);
      side.taxClass = static_cast<uint8_t>(stmt.Int(c + 4));
      if (!sums.Targets(side.rate, side.businessType, side.taxClass, side.debit, side.amount,
                        side.tax, &side)) {
        return kErrOverflow;
      }
      if (side.targetCount == 0) continue;
      if (!CopyRecordText(side.accountCode, sizeof(side.accountCode), stmt.Text(c + 5)) ||
          !CopyRecordText(side.accountName, sizeof(side.accountName), stmt.Text(c + 6))) {
        return StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                              std::to_string(side.accountId));
      }
      if (!sink->Side(side)) return kErrTraceStopped;
    }
  }
  return step < 0 ? step : 0;
}

}  // namespace

ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() {
  return new (std::nothrow) SqliteRuleShohizeiShinkoku;
}

}  // namespace mvhost
