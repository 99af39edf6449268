#ifndef TAXLINK_HOST_CLSETDATA_H_
#define TAXLINK_HOST_CLSETDATA_H_

#include <cstdint>

#include "host/ClSetBase.h"
#include "host/StDATAINFO.h"

class ClAccPeriod;

// The company data sets.
class ClSetData : public ClSetBase {
 public:
  virtual int32_t GetDatCursor(int32_t* cursor) = 0;
  virtual int32_t ReadyDat(int32_t cursor, int32_t mode) = 0;
  // 0 with the next data set in out; non-zero at the end.
  virtual int32_t WalkDat(StDATAINFO* out, int32_t cursor) = 0;
  virtual void ReleaseDatCursor(int32_t cursor) = 0;
  // The data set the current user has selected.
  virtual int32_t GetSelectedInfo(StDATAINFO* out) = 0;
  // A period object for the selected data set; the caller deletes it.
  virtual int32_t GetAccPeriod(ClAccPeriod** period) = 0;
};

#endif  // TAXLINK_HOST_CLSETDATA_H_
