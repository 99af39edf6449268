#ifndef TAXLINK_HOST_STSAVETAXINFO_H_
#define TAXLINK_HOST_STSAVETAXINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// The consumption-tax return that the user saved in the host's own return
// screen. Amounts are raw amounts (ten-thousandths of a yen), unaligned.
struct StSaveTaxInfo {
  uint8_t reserved0[3];
  uint8_t taxationMethod;       // 3: 2 simplified, 1 otherwise
  uint8_t creditMethodPlus1;    // 4: input-tax credit method + 1
  uint8_t reserved5;
  uint8_t salesTaxMethod;       // 6: 0 -> code "1", otherwise "2"
  uint8_t purchaseTaxMethod;    // 7: same coding
  uint8_t transitional;         // 8: non-zero: transitional-rate transactions
  int32_t periodStart;          // 9: accounting period start; 0 when nothing saved
  int32_t periodEnd;            // 13
  int32_t returnPeriodStart;    // 17: period of the return
  int32_t returnPeriodEnd;      // 21
  uint8_t reserved25[4];
  int32_t monthRangeFirst;      // 29: first date of the saved month range
  int32_t monthRangeLast;       // 33: last date of the saved month range
  uint8_t reserved37[2];
  uint8_t dataCodePlus1;        // 39: StDATAINFO::interimClosing + 1
  uint8_t reserved40[9825];
  uint8_t kanpukCode;           // 9865: KESSANZEIKUBUN of the individual statement
  uint8_t kanpuhCode;           // 9866: KESSANZEIKUBUN of the corporate statement
  uint8_t assetsCode;           // 9867: SHISANZEIKUBUN
  int64_t refundAmounts[16];    // 9868..9988: the refund statement lines
  uint8_t reserved9996[5364];
};
#pragma pack(pop)

static_assert(sizeof(StSaveTaxInfo) == 15360);
static_assert(offsetof(StSaveTaxInfo, taxationMethod) == 3);
static_assert(offsetof(StSaveTaxInfo, creditMethodPlus1) == 4);
static_assert(offsetof(StSaveTaxInfo, salesTaxMethod) == 6);
static_assert(offsetof(StSaveTaxInfo, purchaseTaxMethod) == 7);
static_assert(offsetof(StSaveTaxInfo, transitional) == 8);
static_assert(offsetof(StSaveTaxInfo, periodStart) == 9);
static_assert(offsetof(StSaveTaxInfo, periodEnd) == 13);
static_assert(offsetof(StSaveTaxInfo, returnPeriodStart) == 17);
static_assert(offsetof(StSaveTaxInfo, returnPeriodEnd) == 21);
static_assert(offsetof(StSaveTaxInfo, monthRangeFirst) == 29);
static_assert(offsetof(StSaveTaxInfo, monthRangeLast) == 33);
static_assert(offsetof(StSaveTaxInfo, dataCodePlus1) == 39);
static_assert(offsetof(StSaveTaxInfo, kanpukCode) == 9865);
static_assert(offsetof(StSaveTaxInfo, kanpuhCode) == 9866);
static_assert(offsetof(StSaveTaxInfo, assetsCode) == 9867);
static_assert(offsetof(StSaveTaxInfo, refundAmounts) == 9868);

#endif  // TAXLINK_HOST_STSAVETAXINFO_H_
