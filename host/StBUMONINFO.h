#ifndef TAXLINK_HOST_STBUMONINFO_H_
#define TAXLINK_HOST_STBUMONINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One department.
struct StBUMONINFO {
  int32_t code;  // 0: department code
  uint8_t reserved4[12];
  int32_t parentCode;  // 16: 0 for a top-level department
  char name[59];       // 20: zero-terminated Shift_JIS
  uint8_t kind;        // 79: 1 and 2 ask for account sums by department
  uint8_t reserved80[48];
  uint8_t incomeKind;  // 128: 1 business, 3 real estate, other: other income
  uint8_t reserved129[31];
};
#pragma pack(pop)

static_assert(sizeof(StBUMONINFO) == 160);
static_assert(offsetof(StBUMONINFO, code) == 0);
static_assert(offsetof(StBUMONINFO, parentCode) == 16);
static_assert(offsetof(StBUMONINFO, kind) == 79);
static_assert(offsetof(StBUMONINFO, incomeKind) == 128);

#endif  // TAXLINK_HOST_STBUMONINFO_H_
