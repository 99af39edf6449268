#ifndef TAXLINK_HOST_STFINDINFO_H_
#define TAXLINK_HOST_STFINDINFO_H_

#include <cstddef>

#include "host/FilterCondition.h"

#pragma pack(push, 1)
// A query filter with room for four conditions, evaluated in order with their
// links. A filter whose first condition has field id 0 matches everything.
struct StFINDINFO {
  FilterCondition conditions[4];
};
#pragma pack(pop)

static_assert(sizeof(StFINDINFO) == 136);
static_assert(offsetof(StFINDINFO, conditions) == 0);

#endif  // TAXLINK_HOST_STFINDINFO_H_
