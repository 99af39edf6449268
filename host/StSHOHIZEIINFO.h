#ifndef TAXLINK_HOST_STSHOHIZEIINFO_H_
#define TAXLINK_HOST_STSHOHIZEIINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// The consumption-tax settings of a data set.
struct StSHOHIZEIINFO {
  uint8_t filingClass;  // 0: 0 exempt, 1 simplified, 2 standard taxation
  uint8_t reserved1;
  uint8_t roundingMode;      // 2: amount rounding mode of the report
  uint8_t creditMethod;      // 3: 0 individual attribution, 1 lump-sum proportional
  uint8_t mainBusinessType;  // 4: 0 none, 1..6
  uint8_t taxIncluded;       // 5: non-zero when book amounts include tax
  uint8_t reserved6[6];
};
#pragma pack(pop)

static_assert(sizeof(StSHOHIZEIINFO) == 12);
static_assert(offsetof(StSHOHIZEIINFO, filingClass) == 0);
static_assert(offsetof(StSHOHIZEIINFO, roundingMode) == 2);
static_assert(offsetof(StSHOHIZEIINFO, creditMethod) == 3);
static_assert(offsetof(StSHOHIZEIINFO, mainBusinessType) == 4);
static_assert(offsetof(StSHOHIZEIINFO, taxIncluded) == 5);

#endif  // TAXLINK_HOST_STSHOHIZEIINFO_H_
