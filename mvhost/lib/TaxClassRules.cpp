#include "mvhost/lib/TaxClassRules.h"

#include <cstddef>

#include "host/StTAXREPORTRATEINFO.h"
#include "resources/Texts.h"

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

struct ClassNames {
  const char* name;
  const char* label;
};

// What each class stands for (docs/host.md, "Tax classes and the return
// figures"), in English and as the check sheet labels it (CP932).
ClassNames NamesOf(int taxClass) {
  switch (taxClass) {
    case 0:
      return {"outside the scope", taxlink::texts::kTaxClassOutside};
    case 1:
      return {"taxable sales", taxlink::texts::kTaxClassTaxableSales};
    case 2:
      return {"exempt (export) sales", taxlink::texts::kTaxClassExemptSales};
    case 3:
      return {"other non-taxable sales", taxlink::texts::kTaxClassNonTaxableSales};
    case 4:
      return {"securities, monetary claims", taxlink::texts::kTaxClassSecurities};
    case 5:
      return {"non-taxable asset exports", taxlink::texts::kTaxClassAssetExports};
    case 6:
      return {"taxable sales returns", taxlink::texts::kTaxClassSalesReturns};
    case 7:
      return {"exempt sales returns", taxlink::texts::kTaxClassExemptReturns};
    case 8:
      return {"non-taxable sales returns", taxlink::texts::kTaxClassNonTaxableReturns};
    case 9:
      return {"non-taxable export returns", taxlink::texts::kTaxClassExportReturns};
    case 10:
      return {"bad debts", taxlink::texts::kTaxClassBadDebts};
    case 11:
      return {"bad debts recovered", taxlink::texts::kTaxClassBadDebtsRecovered};
    case 21:
      return {"taxable purchases for taxable sales", taxlink::texts::kTaxClassPurchasesTaxable};
    case 22:
      return {"taxable purchases for non-taxable sales",
              taxlink::texts::kTaxClassPurchasesNonTaxable};
    case 23:
      return {"taxable purchases for common sales", taxlink::texts::kTaxClassPurchasesCommon};
    case 24:
      return {"non-taxable purchases", taxlink::texts::kTaxClassNonTaxablePurchases};
    case 25:
      return {"purchase returns for taxable sales",
              taxlink::texts::kTaxClassPurchaseReturnsTaxable};
    case 26:
      return {"purchase returns for non-taxable sales",
              taxlink::texts::kTaxClassPurchaseReturnsNonTaxable};
    case 27:
      return {"purchase returns for common sales", taxlink::texts::kTaxClassPurchaseReturnsCommon};
    case 30:
      return {"import goods value", taxlink::texts::kTaxClassImportValue};
    case 31:
    case 32:
    case 33:
      return {"imports not yet split", taxlink::texts::kTaxClassImportsUnsplit};
    case 35:
    case 36:
    case 37:
      return {"import refunds not yet split", taxlink::texts::kTaxClassImportRefundsUnsplit};
    case 34:
      return {"local import tax", taxlink::texts::kTaxClassLocalImportTax};
    case 38:
      return {"refunded local import tax", taxlink::texts::kTaxClassLocalImportTaxRefunded};
    case 40:
      return {"purchase-side outside the scope", taxlink::texts::kTaxClassPurchaseOutside};
    case 41:
      return {"national import tax for taxable sales", taxlink::texts::kTaxClassImportTaxTaxable};
    case 42:
      return {"national import tax for non-taxable sales",
              taxlink::texts::kTaxClassImportTaxNonTaxable};
    case 43:
      return {"national import tax for common sales", taxlink::texts::kTaxClassImportTaxCommon};
    case 44:
      return {"refunded national import tax for taxable sales",
              taxlink::texts::kTaxClassImportTaxRefundedTaxable};
    case 45:
      return {"refunded national import tax for non-taxable sales",
              taxlink::texts::kTaxClassImportTaxRefundedNonTaxable};
    case 46:
      return {"refunded national import tax for common sales",
              taxlink::texts::kTaxClassImportTaxRefundedCommon};
    default:
      return {"not used", taxlink::texts::kTaxClassNotUsed};
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
  const ClassNames names = NamesOf(taxClass);
  rule.name = names.name;
  rule.label = names.label;
  rule.purchaseSide = taxClass >= 21;
  return rule;
}

}  // namespace mvhost
