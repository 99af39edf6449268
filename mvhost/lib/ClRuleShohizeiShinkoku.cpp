#include "host/ClRuleShohizeiShinkoku.h"

#include <algorithm>

#include <cstring>
#include <new>
#include <vector>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/FilterSql.h"
#include "host/FilterCondition.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SetShohizei.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxClassRules.h"

struct ClRuleShohizeiShinkoku::Query {};

namespace {

using mvhost::TaxClassRule;

constexpr size_t kRowBytes = sizeof(StTAXREPORTRATEINFO);
constexpr int kBusinessTypes = 6;

// The figures of one rate row while they are summed.
struct RowSums {
  int64_t figures[kRowBytes / 8] = {};  // by byte offset / 8
  int64_t securities = 0;               // class 4 sales before the 1/20
  int64_t business[kBusinessTypes][6] = {};  // salesIncl, salesTax, salesExcl, returns...
};

bool Add(int64_t* target, int64_t value) { return !__builtin_add_overflow(*target, value, target); }

// Adds one side of a group of lines (amount and tax already summed by SQL).
bool AddSide(const TaxClassRule& rule, bool debitSide, int businessType, int64_t amount,
             int64_t tax, RowSums* row) {
  int64_t sign = rule.debitNormal == debitSide ? 1 : -1;
  int64_t incl = 0;
  if (__builtin_add_overflow(amount, tax, &incl)) return false;
  if (rule.amountIsTax) return Add(&row->figures[rule.tax / 8], sign * incl);
  bool ok = true;
  if (rule.securities) {
    ok = ok && Add(&row->securities, sign * amount);
  } else if (rule.excl >= 0) {
    ok = ok && Add(&row->figures[rule.excl / 8], sign * amount);
  }
  if (rule.tax >= 0) ok = ok && Add(&row->figures[rule.tax / 8], sign * tax);
  if (rule.incl >= 0) ok = ok && Add(&row->figures[rule.incl / 8], sign * incl);
  if (rule.business != TaxClassRule::BusinessFigure::kNone && businessType >= 1 &&
      businessType <= kBusinessTypes) {
    int64_t* b = row->business[businessType - 1];
    int base = rule.business == TaxClassRule::BusinessFigure::kSales ? 0 : 3;
    ok = ok && Add(&b[base], sign * incl) && Add(&b[base + 1], sign * tax) &&
         Add(&b[base + 2], sign * amount);
  }
  return ok;
}

void WriteAmount(void* record, size_t offset, int64_t value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof(value));
}

}  // namespace

ClRuleShohizeiShinkoku::ClRuleShohizeiShinkoku() : query_(new Query) {}

ClRuleShohizeiShinkoku::~ClRuleShohizeiShinkoku() { delete query_; }

MVHOST_DEFINE_HOST_NEW(ClRuleShohizeiShinkoku)

int32_t ClRuleShohizeiShinkoku::SumTax(uint8_t filingClass, const StFINDINFO* filter,
                                       StTAXREPORTRATEINFO* rates,
                                       StTAXREPORTBUSINESSTYPEINFO* businessTypes) {
  MVHOST_FAULT_POINT("ClRuleShohizeiShinkoku::SumTax");
  if (rates == nullptr || businessTypes == nullptr || filingClass > 2) {
    return mvhost::kErrBadArgument;
  }
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_->Resolve(&db, &dataNo);
  if (status != 0) return status;
  mvhost::SqlFilter where;
  status = mvhost::TranslateFilter(filter, mvhost::FilterTarget::kJournalLine, &where);
  if (status != 0) return status;

  // Row k sums the lines at the rate the caller labelled it with (8, 5 and
  // 3 % for rows left unlabelled), whatever rates the data set lists; the
  // last row is the total.
  const size_t rateRows = mvhost::kTaxRateRows;
  std::vector<int32_t> rowRate(rateRows);
  for (size_t k = 0; k < rateRows; ++k) {
    rowRate[k] = rates[k].rate != 0 ? rates[k].rate : mvhost::kTaxRateRowRates[k];
  }
  std::vector<RowSums> rows(rateRows + 1);

  // The lines grouped by rate, business type and both tax classes: from the
  // totals per tax class when the filter is on tax classes and month kinds
  // only, else by one scan of the lines.
  const bool fromTotals = mvhost::FilterUsesOnlyFields(filter, {kFieldTaxClass, kFieldMonthKind});
  if (fromTotals) {
    status = mvhost::JournalDerived::Ensure(db, dataNo);
    if (status != 0) return status;
  }
  mvhost::SqlStatement stmt;
  status = stmt.Prepare(
      db,
      fromTotals
          ? "SELECT j.rate, j.business_type, j.debit_tax_class, j.credit_tax_class, "
            "SUM(j.debit_amount), SUM(j.debit_tax), SUM(j.credit_amount), SUM(j.credit_tax) "
            "FROM journal_class_total j WHERE j.data_no = ? AND " + where.sql +
                " GROUP BY 1, 2, 3, 4"
          : std::string("SELECT ") + mvhost::kEffectiveRateSql +
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
  bool leftOut = false;
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    int64_t rate = stmt.Int(0);
    int businessType = static_cast<int>(stmt.Int(1));
    TaxClassRule debitRule = mvhost::RuleOfTaxClass(static_cast<int>(stmt.Int(2)));
    TaxClassRule creditRule = mvhost::RuleOfTaxClass(static_cast<int>(stmt.Int(3)));
    int64_t debitAmount = stmt.Int(4), debitTax = stmt.Int(5);
    int64_t creditAmount = stmt.Int(6), creditTax = stmt.Int(7);
    size_t k = 0;
    while (k < rateRows && rowRate[k] != rate) ++k;
    bool debitSummed = debitRule.use == TaxClassRule::Use::kSummed;
    bool creditSummed = creditRule.use == TaxClassRule::Use::kSummed;
    if (debitRule.use == TaxClassRule::Use::kUnknown && (debitAmount != 0 || debitTax != 0)) {
      leftOut = true;
    }
    if (creditRule.use == TaxClassRule::Use::kUnknown && (creditAmount != 0 || creditTax != 0)) {
      leftOut = true;
    }
    if (k == rateRows) {
      if (debitSummed || creditSummed) leftOut = true;
      continue;
    }
    if (debitSummed && !AddSide(debitRule, true, businessType, debitAmount, debitTax, &rows[k])) {
      return mvhost::kErrOverflow;
    }
    if (creditSummed &&
        !AddSide(creditRule, false, businessType, creditAmount, creditTax, &rows[k])) {
      return mvhost::kErrOverflow;
    }
  }
  if (step < 0) return step;

  // Securities count at 1/20; then the totals row adds up the rate rows.
  RowSums& total = rows[rateRows];
  for (size_t k = 0; k < rateRows; ++k) {
    rows[k].figures[32 / 8] += rows[k].securities / 20;
    for (size_t f = 0; f < kRowBytes / 8; ++f) {
      if (!Add(&total.figures[f], rows[k].figures[f])) return mvhost::kErrOverflow;
    }
    for (int t = 0; t < kBusinessTypes; ++t) {
      for (int f = 0; f < 6; ++f) {
        if (!Add(&total.business[t][f], rows[k].business[t][f])) return mvhost::kErrOverflow;
      }
    }
  }

  // The caller sized its tables by GetTaxRateCount: never write more rows
  // than that reported (an injected count included).
  size_t rowsToWrite = rateRows + 1;
  if (auto reported = mvhost::FaultInjection::Find("ClSetShohizei::GetTaxRateCount")) {
    rowsToWrite = std::min(rowsToWrite, static_cast<size_t>(std::max<int32_t>(*reported, 0)));
  }
  for (size_t k = 0; k < rowsToWrite; ++k) {
    for (size_t offset = StTAXREPORTRATEINFO::kFirstFigureOffset;
         offset < StTAXREPORTRATEINFO::kFirstFigureOffset + 8 * StTAXREPORTRATEINFO::kFigureCount;
         offset += 8) {
      WriteAmount(&rates[k], offset, rows[k].figures[offset / 8]);
    }
    WriteAmount(&rates[k], offsetof(StTAXREPORTRATEINFO, importLocalTax), rows[k].figures[476 / 8]);
    WriteAmount(&rates[k], offsetof(StTAXREPORTRATEINFO, importRefundLocalTax),
                rows[k].figures[484 / 8]);
    for (int t = 0; t < kBusinessTypes; ++t) {
      StTAXREPORTBUSINESSTYPEINFO& record = businessTypes[k * kBusinessTypes + t];
      const int64_t* b = rows[k].business[t];
      size_t offsets[6] = {7, 15, 23, 31, 39, 47};
      for (int f = 0; f < 6; ++f) WriteAmount(&record, offsets[f], b[f]);
    }
  }
  return leftOut ? mvhost::kErrLinesLeftOut : 0;
}
