#ifndef TAXLINK_MVHOST_TAXCLASSRULES_H_
#define TAXLINK_MVHOST_TAXCLASSRULES_H_

#include <cstdint>

namespace mvhost {

// How the tax class of one side of a journal line feeds the return
// summation (docs/host.md has the table).
struct TaxClassRule {
  enum class Use {
    kSummed,   // feeds the figures below
    kNothing,  // outside the return (0, 24, 30, 40)
    kPending,  // import classes not yet split (31-33, 35-37): not summed
    kUnknown,  // no such class: left out and reported
  };
  enum class BusinessFigure { kNone, kSales, kReturns };

  Use use = Use::kUnknown;
  // What the class stands for, as docs/host.md names it ("taxable sales").
  const char* name = "not used";
  // The same in Japanese, a CP932 byte string (the check sheet's label).
  const char* label = "";
  // Classes 21 and above belong to the purchase side of the books, the
  // others to the sales side.
  bool purchaseSide = false;
  bool debitNormal = false;  // true: debit amounts add, credit amounts subtract
  // Offsets in StTAXREPORTRATEINFO of the excluding-tax, tax and
  // including-tax figures; -1 where the class feeds none.
  int excl = -1;
  int tax = -1;
  int incl = -1;
  // The securities figure holds 1/20 of the sales (truncated toward zero).
  bool securities = false;
  // For import tax classes the line's amount (plus its tax) is the tax.
  bool amountIsTax = false;
  BusinessFigure business = BusinessFigure::kNone;
};

// The rule of a tax class (0..255).
TaxClassRule RuleOfTaxClass(int taxClass);

// Whether a class has a normal side: summed classes add on one side and
// subtract on the other.
inline bool HasNormalSide(const TaxClassRule& rule) {
  return rule.use == TaxClassRule::Use::kSummed;
}
// A class whose lines carry a tax of their own beside the amount (taxable
// sales and purchases, their returns, bad debts).
inline bool CarriesTax(const TaxClassRule& rule) {
  return rule.use == TaxClassRule::Use::kSummed && rule.tax >= 0 && !rule.amountIsTax;
}
// A class that takes no tax beside its amount: outside the return, or summed
// without a tax figure (exempt and non-taxable sales, securities).
inline bool TakesNoTax(const TaxClassRule& rule) {
  return rule.use == TaxClassRule::Use::kNothing ||
         (rule.use == TaxClassRule::Use::kSummed && rule.tax < 0 && !rule.amountIsTax);
}

// The SQL expression of a journal line's effective rate (x 100): its own
// rate, or for rate 0 the standard rate in force on its date.
inline constexpr const char kEffectiveRateSql[] =
    "(CASE WHEN j.tax_rate <> 0 THEN j.tax_rate WHEN j.date < 19970401 THEN 300 "
    "WHEN j.date < 20140401 THEN 500 WHEN j.date < 20191001 THEN 800 ELSE 1000 END)";

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_TAXCLASSRULES_H_
