#ifndef TAXLINK_HOST_STSWKTINFO_H_
#define TAXLINK_HOST_STSWKTINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One journal line with its debit and credit side.
struct StSWKTINFO {
  int32_t journalId;  // 0
  int32_t lineNo;     // 4
  int32_t date;       // 8: yyyymmdd
  int16_t monthKind;  // 12: 1..12, 15, 18
  uint8_t reserved14[2];
  int32_t taxRate;       // 16: rate x 100
  uint8_t businessType;  // 20: 0 none, 1..6
  uint8_t reserved21[67];
  int32_t debitAccountId;  // 88
  int32_t debitDeptCode;   // 92
  int64_t debitAmount;     // 96
  int64_t debitTax;        // 104
  uint8_t debitTaxClass;   // 112
  uint8_t reserved113[15];
  int32_t creditAccountId;  // 128
  int32_t creditDeptCode;   // 132
  int64_t creditAmount;     // 136
  int64_t creditTax;        // 144
  uint8_t creditTaxClass;   // 152
  uint8_t reserved153[439];
};
#pragma pack(pop)

static_assert(sizeof(StSWKTINFO) == 592);
static_assert(offsetof(StSWKTINFO, debitAccountId) == 88);
static_assert(offsetof(StSWKTINFO, debitDeptCode) == 92);
static_assert(offsetof(StSWKTINFO, debitAmount) == 96);
static_assert(offsetof(StSWKTINFO, debitTax) == 104);
static_assert(offsetof(StSWKTINFO, debitTaxClass) == 112);
static_assert(offsetof(StSWKTINFO, creditAccountId) == 128);
static_assert(offsetof(StSWKTINFO, creditDeptCode) == 132);
static_assert(offsetof(StSWKTINFO, creditAmount) == 136);
static_assert(offsetof(StSWKTINFO, creditTax) == 144);
static_assert(offsetof(StSWKTINFO, creditTaxClass) == 152);

#endif  // TAXLINK_HOST_STSWKTINFO_H_
