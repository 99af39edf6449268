#include "mvhost/lib/TaxClassRules.h"

#include <cstddef>

#include "host/StTAXREPORTRATEINFO.h"

namespace mvhost {

namespace {

using Use = TaxClassRule::Use;
using Business = TaxClassRule::BusinessFigure;

TaxClassRule Summed(bool debitNormal, int excl, int tax, int incl) {
  TaxClassRule rule;
  rule.use = Use::kSummed;
  rule.debitNormal = debitNormal;
  rule.excl = excl;
  rule.tax = tax;
  rule.incl = incl;
  return rule;
}

TaxClassRule ImportTax(bool debitNormal, int tax) {
  TaxClassRule rule = Summed(debitNormal, -1, tax, -1);
  rule.amountIsTax = true;
  return rule;
}

TaxClassRule WithUse(Use use) {
  TaxClassRule rule;
  rule.use = use;
  return rule;
}

// The offset of a figure of the rate row.
#define F(member) static_cast<int>(offsetof(StTAXREPORTRATEINFO, member))

constexpr bool kDebit = true;
constexpr bool kCredit = false;

// What each class stands for (docs/host.md, "Tax classes and the return
// figures").
const char* NameOf(int taxClass) {
  switch (taxClass) {
    case 0:
      return "outside the scope";
    case 1:
      return "taxable sales";
    case 2:
      return "exempt (export) sales";
    case 3:
      return "other non-taxable sales";
    case 4:
      return "securities, monetary claims";
    case 5:
      return "non-taxable asset exports";
    case 6:
      return "taxable sales returns";
    case 7:
      return "exempt sales returns";
    case 8:
      return "non-taxable sales returns";
    case 9:
      return "non-taxable export returns";
    case 10:
      return "bad debts";
    case 11:
      return "bad debts recovered";
    case 21:
      return "taxable purchases for taxable sales";
    case 22:
      return "taxable purchases for non-taxable sales";
    case 23:
      return "taxable purchases for common sales";
    case 24:
      return "non-taxable purchases";
    case 25:
      return "purchase returns for taxable sales";
    case 26:
      return "purchase returns for non-taxable sales";
    case 27:
      return "purchase returns for common sales";
    case 30:
      return "import goods value";
    case 31:
    case 32:
    case 33:
      return "imports not yet split";
    case 35:
    case 36:
    case 37:
      return "import refunds not yet split";
    case 34:
      return "local import tax";
    case 38:
      return "refunded local import tax";
    case 40:
      return "purchase-side outside the scope";
    case 41:
      return "national import tax for taxable sales";
    case 42:
      return "national import tax for non-taxable sales";
    case 43:
      return "national import tax for common sales";
    case 44:
      return "refunded national import tax for taxable sales";
    case 45:
      return "refunded national import tax for non-taxable sales";
    case 46:
      return "refunded national import tax for common sales";
    default:
      return "not used";
  }
}

TaxClassRule FiguresOf(int taxClass) {
  TaxClassRule rule;
  switch (taxClass) {
    // Sales side.
    case 1:
      rule = Summed(kCredit, F(taxableSalesExcl), F(taxableSalesTax), F(taxableSalesIncl));
      rule.business = Business::kSales;
      return rule;
    case 2:
      return Summed(kCredit, F(exemptSales), -1, -1);
    case 3:
      return Summed(kCredit, F(otherNonTaxableSales), -1, -1);
    case 4:
      rule = Summed(kCredit, F(securitiesSales), -1, -1);
      rule.securities = true;
      return rule;
    case 5:
      return Summed(kCredit, F(nonTaxableAssetExports), -1, -1);
    case 6:
      rule = Summed(kDebit, F(salesReturnsExcl), F(salesReturnsTax), F(salesReturnsIncl));
      rule.business = Business::kReturns;
      return rule;
    case 7:
    case 9:
      return Summed(kDebit, F(exemptSalesReturns), -1, -1);
    case 8:
      return Summed(kDebit, F(nonTaxableSalesReturns), -1, -1);
    case 10:
      return Summed(kDebit, F(badDebtExcl), F(badDebtTax), F(badDebtIncl));
    case 11:
      return Summed(kCredit, F(badDebtRecoveredExcl), F(badDebtRecoveredTax),
                    F(badDebtRecoveredIncl));
    // Purchase side: taxable purchases and their returns by attribution.
    case 21:
      return Summed(kDebit, F(purchTaxableExcl), F(purchTaxableTax), F(purchTaxableIncl));
    case 22:
      return Summed(kDebit, F(purchNonTaxableExcl), F(purchNonTaxableTax), F(purchNonTaxableIncl));
    case 23:
      return Summed(kDebit, F(purchCommonExcl), F(purchCommonTax), F(purchCommonIncl));
    case 25:
      return Summed(kCredit, F(purchReturnTaxableExcl), F(purchReturnTaxableTax),
                    F(purchReturnTaxableIncl));
    case 26:
      return Summed(kCredit, F(purchReturnNonTaxableExcl), F(purchReturnNonTaxableTax),
                    F(purchReturnNonTaxableIncl));
    case 27:
      return Summed(kCredit, F(purchReturnCommonExcl), F(purchReturnCommonTax),
                    F(purchReturnCommonIncl));
    // Imports.
    case 34:
      return ImportTax(kDebit, F(importLocalTax));
    case 38:
      return ImportTax(kCredit, F(importRefundLocalTax));
    case 41:
      return ImportTax(kDebit, F(importTaxableTax));
    case 42:
      return ImportTax(kDebit, F(importNonTaxableTax));
    case 43:
      return ImportTax(kDebit, F(importCommonTax));
    case 44:
      return ImportTax(kCredit, F(importRefundTaxableTax));
    case 45:
      return ImportTax(kCredit, F(importRefundNonTaxableTax));
    case 46:
      return ImportTax(kCredit, F(importRefundCommonTax));
    case 0:
    case 24:
    case 30:
    case 40:
      return WithUse(Use::kNothing);
    case 31:
    case 32:
    case 33:
    case 35:
    case 36:
    case 37:
      return WithUse(Use::kPending);
    default:
      return WithUse(Use::kUnknown);
  }
}

#undef F

}  // namespace

TaxClassRule RuleOfTaxClass(int taxClass) {
  TaxClassRule rule = FiguresOf(taxClass);
  rule.name = NameOf(taxClass);
  rule.purchaseSide = taxClass >= 21;
  return rule;
}

}  // namespace mvhost
