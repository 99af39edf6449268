#ifndef TAXLINK_HOST_CLSETBUMON_H_
#define TAXLINK_HOST_CLSETBUMON_H_

#include <cstdint>

#include "host/ClSetBase.h"
#include "host/StBUMONINFO.h"

// The departments.
class ClSetBumon : public ClSetBase {
 public:
  virtual int32_t GetBmnCount(int32_t flag) = 0;
  virtual int32_t GetCursor(int32_t* cursor) = 0;
  virtual int32_t ReadyCursor(int32_t cursor) = 0;
  // 0 with the next department; non-zero at the end.
  virtual int32_t Walk(StBUMONINFO* out, int32_t cursor) = 0;
  // 0 with the department of that code; non-zero (out untouched) when none.
  virtual int32_t GetInfoByCode(int32_t cursor, int32_t code, StBUMONINFO* out) = 0;
  virtual void ReleaseCursor(int32_t cursor) = 0;
};

#endif  // TAXLINK_HOST_CLSETBUMON_H_
