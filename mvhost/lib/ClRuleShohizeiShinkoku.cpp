#include "host/ClRuleShohizeiShinkoku.h"

#include <array>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/FilterCondition.h"
#include "host/StKAMOKUINFO.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/KeptClassTotals.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/LinePredicate.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxClassRules.h"
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
// reads no SQL row per line); a side without an account adds nothing, as in
// SumTax. The accounts' codes and names are read once.
int32_t SqliteRuleShohizeiShinkoku::TraceTax(uint8_t filingClass, const StFINDINFO* filter,
                                             const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) {
  if (rates == nullptr || sink == nullptr || filingClass > 2) return kErrBadArgument;
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo, &scope);
  if (status == 0) status = JournalDerived::Ensure(db, dataNo);
  if (status != 0) return status;
  LinePredicate predicate;
  status = predicate.Compile(db, dataNo, filter);
  if (status != 0) return status;

  // As long as the host's account record holds them.
  struct AccountText {
    char code[sizeof(StKAMOKUINFO::code)];
    char name[sizeof(StKAMOKUINFO::name)];
  };
  std::unordered_map<int32_t, AccountText> accounts;
  SqlStatement names;
  status = names.Prepare(db, "SELECT account_id, code, name FROM account WHERE data_no = ?",
                         "trace the tax return");
  if (status != 0) return status;
  names.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = names.Step()) == 1) {
    const int32_t id = static_cast<int32_t>(names.Int(0));
    AccountText& text = accounts[id];
    if (!CopyRecordText(text.code, sizeof(text.code), names.Text(1)) ||
        !CopyRecordText(text.name, sizeof(text.name), names.Text(2))) {
      return StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                            std::to_string(id));
    }
  }
  if (step < 0) return step;

  PackedLineReader reader;
  status = reader.Open(db, dataNo);
  if (status != 0) return status;
  const TaxReturnSums sums(rates);
  TaxLineSide side;
  const PackedLine* line = nullptr;
  while ((step = reader.Next(&line)) == 1) {
    if (!predicate.Matches(*line)) continue;
    for (int s = 0; s < 2; ++s) {
      const bool debit = s == 0;
      if ((debit ? line->hasDebit : line->hasCredit) == 0) continue;
      const int taxClass = debit ? line->debitTaxClass : line->creditTaxClass;
      if (!TaxReturnSums::Summed(taxClass)) continue;  // feeds no figure
      side.journalId = line->journalNo;
      side.lineNo = line->lineId;
      side.date = line->date;
      side.monthKind = static_cast<int16_t>(line->monthKind);
      side.rate = EffectiveRate(line->taxRate, line->date);
      side.businessType = static_cast<uint8_t>(line->businessType);
      side.debit = debit;
      side.accountId = debit ? line->debitAccount : line->creditAccount;
      side.department = debit ? line->debitDept : line->creditDept;
      side.amount = debit ? line->debitAmount : line->creditAmount;
      side.tax = debit ? line->debitTax : line->creditTax;
      side.taxClass = static_cast<uint8_t>(taxClass);
      if (!sums.Targets(side.rate, side.businessType, side.taxClass, side.debit, side.amount,
                        side.tax, &side)) {
        return kErrOverflow;
      }
      if (side.targetCount == 0) continue;
      // The texts by pointer: the map's entries stay where they are.
      auto account = accounts.find(side.accountId);
      side.accountCode = account != accounts.end() ? account->second.code : "";
      side.accountName = account != accounts.end() ? account->second.name : "";
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
