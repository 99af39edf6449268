#ifndef TAXLINK_HOST_STTAXREPORTRATEINFO_H_
#define TAXLINK_HOST_STTAXREPORTRATEINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One row of the consumption-tax return summation: the figures of one tax
// rate. Every amount is a raw amount in ten-thousandths of a yen. The 55
// amounts from offset 8 to 440 are contiguous (kFirstFigureOffset..).
struct StTAXREPORTRATEINFO {
  int32_t rate;  // 0: rate x 100 (800, 500, 300), set by the program
  uint8_t reserved4[4];
  int64_t taxableSalesExcl;            // 8
  int64_t taxableSalesTax;             // 16
  int64_t taxableSalesIncl;            // 24
  int64_t securitiesSales;             // 32
  int64_t exemptSales;                 // 40
  int64_t otherNonTaxableSales;        // 48
  int64_t nonTaxableAssetExports;      // 56
  int64_t salesReturnsExcl;            // 64
  int64_t salesReturnsTax;             // 72
  int64_t salesReturnsIncl;            // 80
  int64_t nonTaxableSalesReturns;      // 88
  int64_t exemptSalesReturns;          // 96
  int64_t purchTaxableExcl;            // 104
  int64_t purchTaxableTax;             // 112
  int64_t purchTaxableIncl;            // 120
  int64_t purchNonTaxableExcl;         // 128
  int64_t purchNonTaxableTax;          // 136
  int64_t purchNonTaxableIncl;         // 144
  int64_t purchCommonExcl;             // 152
  int64_t purchCommonTax;              // 160
  int64_t purchCommonIncl;             // 168
  int64_t importTaxableExcl;           // 176
  int64_t importTaxableTax;            // 184
  int64_t importTaxableIncl;           // 192
  int64_t importNonTaxableExcl;        // 200
  int64_t importNonTaxableTax;         // 208
  int64_t importNonTaxableIncl;        // 216
  int64_t importCommonExcl;            // 224
  int64_t importCommonTax;             // 232
  int64_t importCommonIncl;            // 240
  int64_t hostFigure248;               // 248
  int64_t purchReturnTaxableExcl;      // 256
  int64_t purchReturnTaxableTax;       // 264
  int64_t purchReturnTaxableIncl;      // 272
  int64_t purchReturnNonTaxableExcl;   // 280
  int64_t purchReturnNonTaxableTax;    // 288
  int64_t purchReturnNonTaxableIncl;   // 296
  int64_t purchReturnCommonExcl;       // 304
  int64_t purchReturnCommonTax;        // 312
  int64_t purchReturnCommonIncl;       // 320
  int64_t importRefundTaxableExcl;     // 328
  int64_t importRefundTaxableTax;      // 336
  int64_t importRefundTaxableIncl;     // 344
  int64_t importRefundNonTaxableExcl;  // 352
  int64_t importRefundNonTaxableTax;   // 360
  int64_t importRefundNonTaxableIncl;  // 368
  int64_t importRefundCommonExcl;      // 376
  int64_t importRefundCommonTax;       // 384
  int64_t importRefundCommonIncl;      // 392
  int64_t badDebtExcl;                 // 400
  int64_t badDebtTax;                  // 408
  int64_t badDebtIncl;                 // 416
  int64_t badDebtRecoveredExcl;        // 424
  int64_t badDebtRecoveredTax;         // 432
  int64_t badDebtRecoveredIncl;        // 440
  uint8_t reserved448[28];
  int64_t importLocalTax;        // 476: local consumption tax on imports
  int64_t importRefundLocalTax;  // 484: local consumption tax on refunded imports
  uint8_t reserved492[4];

  static constexpr size_t kFirstFigureOffset = 8;
  static constexpr size_t kFigureCount = 55;
};
#pragma pack(pop)

static_assert(sizeof(StTAXREPORTRATEINFO) == 496);
static_assert(offsetof(StTAXREPORTRATEINFO, rate) == 0);
static_assert(offsetof(StTAXREPORTRATEINFO, taxableSalesExcl) == 8);
static_assert(offsetof(StTAXREPORTRATEINFO, taxableSalesTax) == 16);
static_assert(offsetof(StTAXREPORTRATEINFO, taxableSalesIncl) == 24);
static_assert(offsetof(StTAXREPORTRATEINFO, securitiesSales) == 32);
static_assert(offsetof(StTAXREPORTRATEINFO, exemptSales) == 40);
static_assert(offsetof(StTAXREPORTRATEINFO, otherNonTaxableSales) == 48);
static_assert(offsetof(StTAXREPORTRATEINFO, nonTaxableAssetExports) == 56);
static_assert(offsetof(StTAXREPORTRATEINFO, salesReturnsExcl) == 64);
static_assert(offsetof(StTAXREPORTRATEINFO, salesReturnsTax) == 72);
static_assert(offsetof(StTAXREPORTRATEINFO, salesReturnsIncl) == 80);
static_assert(offsetof(StTAXREPORTRATEINFO, nonTaxableSalesReturns) == 88);
static_assert(offsetof(StTAXREPORTRATEINFO, exemptSalesReturns) == 96);
static_assert(offsetof(StTAXREPORTRATEINFO, purchTaxableExcl) == 104);
static_assert(offsetof(StTAXREPORTRATEINFO, purchTaxableTax) == 112);
static_assert(offsetof(StTAXREPORTRATEINFO, purchTaxableIncl) == 120);
static_assert(offsetof(StTAXREPORTRATEINFO, purchNonTaxableExcl) == 128);
static_assert(offsetof(StTAXREPORTRATEINFO, purchNonTaxableTax) == 136);
static_assert(offsetof(StTAXREPORTRATEINFO, purchNonTaxableIncl) == 144);
static_assert(offsetof(StTAXREPORTRATEINFO, purchCommonExcl) == 152);
static_assert(offsetof(StTAXREPORTRATEINFO, purchCommonTax) == 160);
static_assert(offsetof(StTAXREPORTRATEINFO, purchCommonIncl) == 168);
static_assert(offsetof(StTAXREPORTRATEINFO, importTaxableExcl) == 176);
static_assert(offsetof(StTAXREPORTRATEINFO, importTaxableTax) == 184);
static_assert(offsetof(StTAXREPORTRATEINFO, importTaxableIncl) == 192);
static_assert(offsetof(StTAXREPORTRATEINFO, importNonTaxableExcl) == 200);
static_assert(offsetof(StTAXREPORTRATEINFO, importNonTaxableTax) == 208);
static_assert(offsetof(StTAXREPORTRATEINFO, importNonTaxableIncl) == 216);
static_assert(offsetof(StTAXREPORTRATEINFO, importCommonExcl) == 224);
static_assert(offsetof(StTAXREPORTRATEINFO, importCommonTax) == 232);
static_assert(offsetof(StTAXREPORTRATEINFO, importCommonIncl) == 240);
static_assert(offsetof(StTAXREPORTRATEINFO, hostFigure248) == 248);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnTaxableExcl) == 256);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnTaxableTax) == 264);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnTaxableIncl) == 272);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnNonTaxableExcl) == 280);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnNonTaxableTax) == 288);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnNonTaxableIncl) == 296);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnCommonExcl) == 304);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnCommonTax) == 312);
static_assert(offsetof(StTAXREPORTRATEINFO, purchReturnCommonIncl) == 320);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundTaxableExcl) == 328);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundTaxableTax) == 336);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundTaxableIncl) == 344);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundNonTaxableExcl) == 352);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundNonTaxableTax) == 360);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundNonTaxableIncl) == 368);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundCommonExcl) == 376);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundCommonTax) == 384);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundCommonIncl) == 392);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtExcl) == 400);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtTax) == 408);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtIncl) == 416);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtRecoveredExcl) == 424);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtRecoveredTax) == 432);
static_assert(offsetof(StTAXREPORTRATEINFO, badDebtRecoveredIncl) == 440);
static_assert(offsetof(StTAXREPORTRATEINFO, importLocalTax) == 476);
static_assert(offsetof(StTAXREPORTRATEINFO, importRefundLocalTax) == 484);

#endif  // TAXLINK_HOST_STTAXREPORTRATEINFO_H_
