#include "mvhost/lib/TaxReturnSums.h"

#include <array>
#include <cstring>
#include <limits>

#include "mvhost/lib/SetShohizei.h"
#include "mvhost/lib/TaxClassRules.h"

namespace mvhost {

namespace {

bool AddTo(int64_t* target, int64_t value) {
  return !__builtin_add_overflow(*target, value, target);
}

constexpr size_t Slot(size_t offset) { return offset / 8; }

void WriteAmount(void* record, size_t offset, int64_t value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof(value));
}

// The business-type figures in the order Row::business keeps them.
constexpr size_t kBusinessOffsets[6] = {offsetof(StTAXREPORTBUSINESSTYPEINFO, salesIncl),
                                        offsetof(StTAXREPORTBUSINESSTYPEINFO, salesTax),
                                        offsetof(StTAXREPORTBUSINESSTYPEINFO, salesExcl),
                                        offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsIncl),
                                        offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsTax),
                                        offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsExcl)};

}  // namespace

TaxReturnSums::TaxReturnSums(const StTAXREPORTRATEINFO* rates)
    : rowRate_(kTaxRateRows), rows_(kTaxRateRows + 1) {
  for (size_t k = 0; k < kTaxRateRows; ++k) {
    rowRate_[k] = rates[k].rate != 0 ? rates[k].rate : kTaxRateRowRates[k];
  }
}

namespace {

// Where one side of a line adds an amount: a figure of the row, the row's
// securities before the 1/20, or figure f of business type t.
struct SideTarget {
  enum class Kind { kFigure, kSecurities, kBusiness } kind;
  size_t offset;  // kFigure: offset in StTAXREPORTRATEINFO
  int type;       // kBusiness: 0..5
  int figure;     // kBusiness: index into Row::business[type] (kBusinessOffsets)
  TaxLineSide::Taken taken;
  int64_t amount;
};

// The one statement of how a side feeds the figures (the class's rule):
// calls add(target) for each figure it adds to, and stops at the first that
// returns false. False also when amount and tax overflow together, or when
// a side taken negatively holds the one amount whose negation overflows.
template <class Add>
bool VisitSide(const TaxClassRule& rule, bool debitSide, int businessType, int64_t amount,
               int64_t tax, Add add) {
  using Kind = SideTarget::Kind;
  using Taken = TaxLineSide::Taken;
  int64_t sign = rule.debitNormal == debitSide ? 1 : -1;
  int64_t incl = 0;
  if (__builtin_add_overflow(amount, tax, &incl)) return false;
  constexpr int64_t kUnnegatable = std::numeric_limits<int64_t>::min();
  if (sign < 0 && (amount == kUnnegatable || tax == kUnnegatable || incl == kUnnegatable)) {
    return false;
  }
  if (rule.amountIsTax) {
    return add(SideTarget{Kind::kFigure, static_cast<size_t>(rule.tax), 0, 0, Taken::kIncludingTax,
                          sign * incl});
  }
  bool ok = true;
  if (rule.securities) {
    ok = add(SideTarget{Kind::kSecurities, static_cast<size_t>(rule.excl), 0, 0,
                        Taken::kExcludingTax, sign * amount});
  } else if (rule.excl >= 0) {
    ok = add(SideTarget{Kind::kFigure, static_cast<size_t>(rule.excl), 0, 0, Taken::kExcludingTax,
                        sign * amount});
  }
  if (ok && rule.tax >= 0) {
    ok = add(
        SideTarget{Kind::kFigure, static_cast<size_t>(rule.tax), 0, 0, Taken::kTax, sign * tax});
  }
  if (ok && rule.incl >= 0) {
    ok = add(SideTarget{Kind::kFigure, static_cast<size_t>(rule.incl), 0, 0, Taken::kIncludingTax,
                        sign * incl});
  }
  if (ok && rule.business != TaxClassRule::BusinessFigure::kNone && businessType >= 1 &&
      businessType <= TaxReturnSums::kBusinessTypes) {
    const int base = rule.business == TaxClassRule::BusinessFigure::kSales ? 0 : 3;
    const int t = businessType - 1;
    ok = add(SideTarget{Kind::kBusiness, 0, t, base, Taken::kIncludingTax, sign * incl}) &&
         add(SideTarget{Kind::kBusiness, 0, t, base + 1, Taken::kTax, sign * tax}) &&
         add(SideTarget{Kind::kBusiness, 0, t, base + 2, Taken::kExcludingTax, sign * amount});
  }
  return ok;
}

// Adds one side of a line or group to its row.
template <class Row>
bool AddSide(const TaxClassRule& rule, bool debitSide, int businessType, int64_t amount,
             int64_t tax, Row* row) {
  return VisitSide(rule, debitSide, businessType, amount, tax, [row](const SideTarget& target) {
    switch (target.kind) {
      case SideTarget::Kind::kFigure:
        return AddTo(&row->figures[Slot(target.offset)], target.amount);
      case SideTarget::Kind::kSecurities:
        return AddTo(&row->securities, target.amount);
      case SideTarget::Kind::kBusiness:
        return AddTo(&row->business[target.type][target.figure], target.amount);
    }
    return false;
  });
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
  const size_t k = RowOfRate(rate);
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

size_t TaxReturnSums::RowOfRate(int64_t rate) const {
  size_t k = 0;
  while (k < rowRate_.size() && rowRate_[k] != rate) ++k;
  return k;
}

namespace {

// The rule of a class from a table of every class made once (a traced run
// asks for one per side of every line); null for a class beyond 0..255,
// which no rule sums.
[[gnu::always_inline]] inline const TaxClassRule* TabledRule(int taxClass) {
  static const std::array<TaxClassRule, 256> kRules = [] {
    std::array<TaxClassRule, 256> rules;
    for (int c = 0; c < 256; ++c) rules[static_cast<size_t>(c)] = RuleOfTaxClass(c);
    return rules;
  }();
  return taxClass >= 0 && taxClass < 256 ? &kRules[static_cast<size_t>(taxClass)] : nullptr;
}

}  // namespace

bool TaxReturnSums::Summed(int taxClass) {
  const TaxClassRule* rule = TabledRule(taxClass);
  return rule != nullptr && rule->use == TaxClassRule::Use::kSummed;
}

bool TaxReturnSums::Targets(int64_t rate, int businessType, int taxClass, bool debitSide,
                            int64_t amount, int64_t tax, TaxLineSide* side) const {
  side->targetCount = 0;
  const TaxClassRule* rule = TabledRule(taxClass);
  if (rule == nullptr || rule->use != TaxClassRule::Use::kSummed) return true;
  const size_t k = RowOfRate(rate);
  if (k == rowRate_.size()) return true;
  // Each target made whole in registers and stored once, its count kept
  // here: a byte stored through the side may alias anything, so counting
  // in the side reloaded the count and the row for every target.
  TaxLineSide::Target* const out = side->targets;
  const auto row = static_cast<uint8_t>(k);
  int count = 0;
  const bool ok = VisitSide(*rule, debitSide, businessType, amount, tax,
                            [out, row, &count](const SideTarget& target) {
                              if (count == TaxLineSide::kMaxTargets) return false;
                              TaxLineSide::Target made{};
                              made.row = row;
                              made.taken = target.taken;
                              made.amount = target.amount;
                              if (target.kind == SideTarget::Kind::kBusiness) {
                                made.record = TaxLineSide::Record::kBusinessType;
                                made.businessType = static_cast<uint8_t>(target.type + 1);
                                made.offset =
                                    static_cast<uint16_t>(kBusinessOffsets[target.figure]);
                              } else {
                                made.record = TaxLineSide::Record::kRateRow;
                                made.offset = static_cast<uint16_t>(target.offset);
                              }
                              out[count++] = made;
                              return true;
                            });
  side->targetCount = count;
  return ok;
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
