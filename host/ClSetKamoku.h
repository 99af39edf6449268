#ifndef TAXLINK_HOST_CLSETKAMOKU_H_
#define TAXLINK_HOST_CLSETKAMOKU_H_

#include <cstdint>

#include "host/ClSetBase.h"
#include "host/StFINDINFO.h"
#include "host/StKAMOKUINFO.h"

// The chart of accounts.
class ClSetKamoku : public ClSetBase {
 public:
  virtual int32_t GetCursor(int32_t* cursor) = 0;
  virtual int32_t ReadyCursor(int32_t cursor) = 0;
  // 0 with the next account that matches the filter; non-zero at the end.
  virtual int32_t WalkFind(const StFINDINFO* filter, StKAMOKUINFO* out, int32_t cursor) = 0;
  virtual void ReleaseCursor(int32_t cursor) = 0;
};

#endif  // TAXLINK_HOST_CLSETKAMOKU_H_
