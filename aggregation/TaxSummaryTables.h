#ifndef TAXLINK_AGGREGATION_TAXSUMMARYTABLES_H_
#define TAXLINK_AGGREGATION_TAXSUMMARYTABLES_H_

#include <cstdint>
#include <memory>

#include "host/StTAXREPORTBUSINESSTYPEINFO.h"
#include "host/StTAXREPORTRATEINFO.h"

namespace taxlink {

// One line of the refund statement: raw amounts (ten-thousandths of a yen).
struct RefundLine {
  int64_t bookAmount = 0;      // net amount of the line's accounts, or acquisitions
  int64_t nonTaxablePart = 0;  // journal amounts that are not taxable purchases
};

// Business-type records per rate row.
constexpr int kBusinessTypesPerRate = 6;

// The figures of one run, filled by aggregation and read by the report.
struct TaxSummaryTables {
  // One row per tax rate (rows 0, 1, 2: 8 %, 5 %, 3 %) and six business-type
  // records per row (record 6k+j: row k, type j+1); none until allocated.
  std::unique_ptr<StTAXREPORTRATEINFO[]> rateInfo;
  std::unique_ptr<StTAXREPORTBUSINESSTYPEINFO[]> businessTypeInfo;
  int16_t rateCount = 0;  // rows allocated in rateInfo

  // Index 0: the 5 % legacy-rate sum, index 1: the 3 % sum.
  int64_t legacyRateSums[2] = {0, 0};

  RefundLine corpMerchandisePurchases;
  RefundLine corpSellingAdminExpenses;
  RefundLine corpNonOperatingExpenses;
  RefundLine corpOtherItems;
  int64_t corpFixedAssets = 0;
  int64_t corpDeferredAssets = 0;

  RefundLine indBusinessPurchases;
  RefundLine indBusinessExpenses;
  RefundLine indBusinessFixedAssets;
  RefundLine indRealEstateExpenses;
  RefundLine indRealEstateFixedAssets;
  RefundLine indOtherPurchases;
  RefundLine indOtherExpenses;
  RefundLine indOtherFixedAssets;

  // Allocates zero-filled tables of rows rate rows (at least three, since
  // the 8, 5 and 3 % labels are always written) and six business-type
  // records per row.
  void Allocate(int16_t rows);
  void Release();
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_TAXSUMMARYTABLES_H_
