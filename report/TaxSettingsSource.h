#ifndef TAXLINK_REPORT_TAXSETTINGSSOURCE_H_
#define TAXLINK_REPORT_TAXSETTINGSSOURCE_H_

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"

namespace taxlink {

// Where the report reads a data set's consumption-tax settings from (the
// application object, which caches the host's set object).
class TaxSettingsSource {
 public:
  virtual ~TaxSettingsSource() = default;
  // False when the host read failed (out untouched).
  virtual bool ReadTaxSettings(StSHOHIZEIINFO* out, const StDATAINFO& dataSet) = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_REPORT_TAXSETTINGSSOURCE_H_
