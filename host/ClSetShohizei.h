#ifndef TAXLINK_HOST_CLSETSHOHIZEI_H_
#define TAXLINK_HOST_CLSETSHOHIZEI_H_

#include <cstdint>

#include "host/ClSetBase.h"
#include "host/StSHOHIZEIINFO.h"

// The consumption-tax settings of the current data set.
class ClSetShohizei : public ClSetBase {
 public:
  virtual int32_t Get(StSHOHIZEIINFO* out) = 0;
  // Number of rows of the tax-return summation (StTAXREPORTRATEINFO).
  virtual int32_t GetTaxRateCount() = 0;
};

#endif  // TAXLINK_HOST_CLSETSHOHIZEI_H_
