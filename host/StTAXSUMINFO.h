#ifndef TAXLINK_HOST_STTAXSUMINFO_H_
#define TAXLINK_HOST_STTAXSUMINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One per-account consumption-tax summary record.
struct StTAXSUMINFO {
  char code[16];  // 0: account code, zero-terminated
  uint8_t reserved16[582];
  int64_t amount;  // 598: the summed raw amount
  uint8_t reserved606[220];
};
#pragma pack(pop)

static_assert(sizeof(StTAXSUMINFO) == 826);
static_assert(offsetof(StTAXSUMINFO, code) == 0);
static_assert(offsetof(StTAXSUMINFO, amount) == 598);

#endif  // TAXLINK_HOST_STTAXSUMINFO_H_
