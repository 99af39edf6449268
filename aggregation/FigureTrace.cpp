#include "aggregation/FigureTrace.h"

#include "aggregation/TaxSummaryTables.h"

namespace taxlink {

const int64_t* FigureAddress(const TaxSummaryTables& t, Figure figure) {
  switch (figure) {
    case Figure::kLegacyRate5:
      return &t.legacyRateSums[0];
    case Figure::kLegacyRate3:
      return &t.legacyRateSums[1];
    case Figure::kCorpMerchandiseBook:
      return &t.corpMerchandisePurchases.bookAmount;
    case Figure::kCorpMerchandiseNonTaxable:
      return &t.corpMerchandisePurchases.nonTaxablePart;
    case Figure::kCorpSellingAdminBook:
      return &t.corpSellingAdminExpenses.bookAmount;
    case Figure::kCorpSellingAdminNonTaxable:
      return &t.corpSellingAdminExpenses.nonTaxablePart;
    case Figure::kCorpNonOperatingBook:
      return &t.corpNonOperatingExpenses.bookAmount;
    case Figure::kCorpNonOperatingNonTaxable:
      return &t.corpNonOperatingExpenses.nonTaxablePart;
    case Figure::kCorpOtherBook:
      return &t.corpOtherItems.bookAmount;
    case Figure::kCorpOtherNonTaxable:
      return &t.corpOtherItems.nonTaxablePart;
    case Figure::kCorpFixedAssets:
      return &t.corpFixedAssets;
    case Figure::kCorpDeferredAssets:
      return &t.corpDeferredAssets;
    case Figure::kIndBusinessPurchasesBook:
      return &t.indBusinessPurchases.bookAmount;
    case Figure::kIndBusinessPurchasesNonTaxable:
      return &t.indBusinessPurchases.nonTaxablePart;
    case Figure::kIndBusinessExpensesBook:
      return &t.indBusinessExpenses.bookAmount;
    case Figure::kIndBusinessExpensesNonTaxable:
      return &t.indBusinessExpenses.nonTaxablePart;
    case Figure::kIndBusinessFixedAssetsBook:
      return &t.indBusinessFixedAssets.bookAmount;
    case Figure::kIndRealEstateExpensesBook:
      return &t.indRealEstateExpenses.bookAmount;
    case Figure::kIndRealEstateExpensesNonTaxable:
      return &t.indRealEstateExpenses.nonTaxablePart;
    case Figure::kIndRealEstateFixedAssetsBook:
      return &t.indRealEstateFixedAssets.bookAmount;
    case Figure::kIndOtherPurchasesBook:
      return &t.indOtherPurchases.bookAmount;
    case Figure::kIndOtherPurchasesNonTaxable:
      return &t.indOtherPurchases.nonTaxablePart;
    case Figure::kIndOtherExpensesBook:
      return &t.indOtherExpenses.bookAmount;
    case Figure::kIndOtherExpensesNonTaxable:
      return &t.indOtherExpenses.nonTaxablePart;
  }
  return nullptr;
}

int64_t FigureValue(const TaxSummaryTables& t, Figure figure) {
  const int64_t* value = FigureAddress(t, figure);
  return value != nullptr ? *value : 0;
}

}  // namespace taxlink
