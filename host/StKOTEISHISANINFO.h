#ifndef TAXLINK_HOST_STKOTEISHISANINFO_H_
#define TAXLINK_HOST_STKOTEISHISANINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One fixed asset.
struct StKOTEISHISANINFO {
  int32_t assetId;          // 0
  char code[16];            // 4
  char name[28];            // 20: zero-terminated Shift_JIS
  int32_t kind;             // 48: 9 deferred asset, otherwise fixed asset
  int32_t acquisitionDate;  // 52: yyyymmdd
  uint8_t reserved56[312];
  int64_t acquisitionAmount;  // 368: raw amount
  uint8_t reserved376[152];
  uint8_t incomeKind;  // 528: 1 business, 2 real estate
  uint8_t reserved529[16];
};

// Per-year and per-month depreciation records: handed to the host, not read.
struct StKOTEINENINFO {
  uint8_t bytes[960];
};
struct StKOTEITSUKIINFO {
  uint8_t bytes[1536];
};
#pragma pack(pop)

static_assert(sizeof(StKOTEISHISANINFO) == 545);
static_assert(offsetof(StKOTEISHISANINFO, kind) == 48);
static_assert(offsetof(StKOTEISHISANINFO, acquisitionAmount) == 368);
static_assert(offsetof(StKOTEISHISANINFO, incomeKind) == 528);
static_assert(sizeof(StKOTEINENINFO) == 960);
static_assert(sizeof(StKOTEITSUKIINFO) == 1536);

#endif  // TAXLINK_HOST_STKOTEISHISANINFO_H_
