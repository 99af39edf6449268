#ifndef TAXLINK_HOST_STKAMOKUSUMINFO_H_
#define TAXLINK_HOST_STKAMOKUSUMINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// Account sums of one account (or account-class total) per month kind.
// Array entries 1..12 hold month kinds 1..12, entry 13 the year-end closing
// adjustment (kind 18), entry 14 the interim closing adjustment (kind 15);
// entry 0 is the opening balance.
struct StKAMOKUSUMINFO {
  int32_t accountId;  // 0
  char code[16];      // 4
  char name[64];      // 20
  uint8_t reserved84[42];
  uint8_t excluded1;  // 126: 1 = skipped by the program
  uint8_t totalFlag;  // 127: 1 on account-class total records
  uint8_t excluded2;  // 128: 1 = skipped by the program
  uint8_t reserved129;
  uint8_t balanceSide;  // 130: 1 debit, 2 credit
  uint8_t reserved131[5];
  uint32_t classCode;  // 136
  uint8_t reserved140[12];
  int64_t debit[15];       // 152: tax-excluded debit sums
  int64_t debitIncl[15];   // 272: tax-included debit sums
  int64_t credit[15];      // 392: tax-excluded credit sums
  int64_t creditIncl[15];  // 512: tax-included credit sums
  uint8_t reserved632[4];
};
#pragma pack(pop)

static_assert(sizeof(StKAMOKUSUMINFO) == 636);
static_assert(offsetof(StKAMOKUSUMINFO, excluded1) == 126);
static_assert(offsetof(StKAMOKUSUMINFO, totalFlag) == 127);
static_assert(offsetof(StKAMOKUSUMINFO, excluded2) == 128);
static_assert(offsetof(StKAMOKUSUMINFO, balanceSide) == 130);
static_assert(offsetof(StKAMOKUSUMINFO, classCode) == 136);
static_assert(offsetof(StKAMOKUSUMINFO, debit) == 152);
static_assert(offsetof(StKAMOKUSUMINFO, debitIncl) == 272);
static_assert(offsetof(StKAMOKUSUMINFO, credit) == 392);
static_assert(offsetof(StKAMOKUSUMINFO, creditIncl) == 512);

#endif  // TAXLINK_HOST_STKAMOKUSUMINFO_H_
