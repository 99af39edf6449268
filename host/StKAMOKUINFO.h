#ifndef TAXLINK_HOST_STKAMOKUINFO_H_
#define TAXLINK_HOST_STKAMOKUINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One account of the chart of accounts.
struct StKAMOKUINFO {
  uint8_t reserved0[16];
  int32_t accountId;  // 16
  uint8_t reserved20[2];
  char code[16];  // 22: account code, zero-terminated
  char name[64];  // 38: account name, zero-terminated Shift_JIS
  uint8_t reserved102[8];
  uint8_t excluded;     // 110: non-zero: not listed by the program
  uint8_t balanceSide;  // 111: 1 debit, 2 credit
  uint8_t reserved112[32];
  uint32_t classCode;  // 144: account class code
  uint8_t reserved148[60];
};
#pragma pack(pop)

static_assert(sizeof(StKAMOKUINFO) == 208);
static_assert(offsetof(StKAMOKUINFO, accountId) == 16);
static_assert(offsetof(StKAMOKUINFO, code) == 22);
static_assert(offsetof(StKAMOKUINFO, excluded) == 110);
static_assert(offsetof(StKAMOKUINFO, classCode) == 144);

#endif  // TAXLINK_HOST_STKAMOKUINFO_H_
