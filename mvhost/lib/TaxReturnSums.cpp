#include "mvhost/lib/TaxReturnSums.h"

#include <cstring>

#include "mvhost/lib/SetShohizei.h"
#include "mvhost/lib/TaxClassRules.h"

namespace mvhost {

namespace {

bool AddTo(int64_t* target, int64_t value) { return !__builtin_add_overflow(*target, value, target); }

constexpr size_t Slot(size_t offset) { return offset / 8; }

void WriteAmount(void* record, size_t offset, int64_t value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof(value));
}

// The business-type figures in the order Row::business keeps them.
constexpr size_t kBusinessOffsets[6] = {
    offsetof(StTAXREPORTBUSINESSTYPEINFO, salesIncl),   offsetof(StTAXREPORTBUSINESSTYPEINFO, salesTax),
    offsetof(StTAXREPORTBUSINESSTYPEINFO, salesExcl),   offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsIncl),
    offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsTax),  offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsExcl)};

}  // namespace

TaxReturnSums::TaxReturnSums(const StTAXREPORTRATEINFO* rates)
    : rowRate_(kTaxRateRows), rows_(kTaxRateRows + 1) {
  for (size_t k = 0; k < kTaxRateRows; ++k) {
    rowRate_[k] = rates[k].rate != 0 ? rates[k].rate : kTaxRateRowRates[k];
  }
}

namespace {

// Adds one side of a line or group to its row.
template <class Row>
bool AddSide(const TaxClassRule& rule, bool debitSide, int businessType, int64_t amount,
             int64_t tax, Row* row) {
  int64_t sign = rule.debitNormal == debitSide ? 1 : -1;
  int64_t incl = 0;
  if (__builtin_add_overflow(amount, tax, &incl)) return false;
  if (rule.amountIsTax) return AddTo(&row->figures[Slot(rule.tax)], sign * incl);
  bool ok = true;
  if (rule.securities) {
    ok = ok && AddTo(&row->securities, sign * amount);
  } else if (rule.excl >= 0) {
    ok = ok && AddTo(&row->figures[Slot(rule.excl)], sign * amount);
  }
  if (rule.tax >= 0) ok = ok && AddTo(&row->figures[Slot(rule.tax)], sign * tax);
  if (rule.incl >= 0) ok = ok && AddTo(&row->figures[Slot(rule.incl)], sign * incl);
  if (rule.business != TaxClassRule::BusinessFigure::kNone && businessType >= 1 &&
      businessType <= TaxReturnSums::kBusinessTypes) {
    int64_t* b = row->business[businessType - 1];
    int base = rule.business == TaxClassRule::BusinessFigure::kSales ? 0 : 3;
    ok = ok && AddTo(&b[base], sign * incl) && AddTo(&b[base + 1], sign * tax) &&
         AddTo(&b[base + 2], sign * amount);
  }
  return ok;
}

}  // namespace

bool TaxReturnSums::Add(int64_t rate, int businessType, int debitTaxClass, int creditTaxClass,
                        int64_t debitAmount, int64_t debitTax, int64_t creditAmount,
                        int64_t creditTax) {
  TaxClassRule debitRule = RuleOfTaxClass(debitTaxClass);
  TaxClassRule creditRule = RuleOfTaxClass(creditTaxClass);
  bool debitSummed = debitRule.use == TaxClassRule::Use::kSummed;
  bool creditSummed = creditRule.use == TaxClassRule::Use::kSummed;
  if (debitRule.use == TaxClassRule::Use::kUnknown && (debitAmount != 0 || debitTax != 0)) {
    leftOut_ = true;
  }
  if (creditRule.use == TaxClassRule::Use::kUnknown && (creditAmount != 0 || creditTax != 0)) {
    leftOut_ = true;
  }
  size_t k = 0;
  while (k < rowRate_.size() && rowRate_[k] != rate) ++k;
  if (k == rowRate_.size()) {
    if (debitSummed || creditSummed) leftOut_ = true;
    return true;
  }
  if (debitSummed && !AddSide(debitRule, true, businessType, debitAmount, debitTax, &rows_[k])) {
    return false;
  }
  return !creditSummed ||
         AddSide(creditRule, false, businessType, creditAmount, creditTax, &rows_[k]);
}

bool TaxReturnSums::Finish() {
  Row& total = rows_.back();
  for (size_t k = 0; k + 1 < rows_.size(); ++k) {
    rows_[k].figures[Slot(offsetof(StTAXREPORTRATEINFO, securitiesSales))] +=
        rows_[k].securities / 20;
    for (size_t f = 0; f < sizeof(Row::figures) / 8; ++f) {
      if (!AddTo(&total.figures[f], rows_[k].figures[f])) return false;
    }
    for (int t = 0; t < kBusinessTypes; ++t) {
      for (int f = 0; f < 6; ++f) {
        if (!AddTo(&total.business[t][f], rows_[k].business[t][f])) return false;
      }
    }
  }
  return true;
}

void TaxReturnSums::Write(StTAXREPORTRATEINFO* rates,
                          StTAXREPORTBUSINESSTYPEINFO* businessTypes) const {
  constexpr size_t kFirst = StTAXREPORTRATEINFO::kFirstFigureOffset;
  constexpr size_t kEnd = kFirst + 8 * StTAXREPORTRATEINFO::kFigureCount;
  for (size_t k = 0; k < rows_.size(); ++k) {
    const Row& row = rows_[k];
    for (size_t offset = kFirst; offset < kEnd; offset += 8) {
      WriteAmount(&rates[k], offset, row.figures[Slot(offset)]);
    }
    for (size_t offset : {offsetof(StTAXREPORTRATEINFO, importLocalTax),
                          offsetof(StTAXREPORTRATEINFO, importRefundLocalTax)}) {
      WriteAmount(&rates[k], offset, row.figures[Slot(offset)]);
    }
    for (int t = 0; t < kBusinessTypes; ++t) {
      StTAXREPORTBUSINESSTYPEINFO& record = businessTypes[k * kBusinessTypes + t];
      for (int f = 0; f < 6; ++f) WriteAmount(&record, kBusinessOffsets[f], row.business[t][f]);
    }
  }
}

}  // namespace mvhost
