#ifndef TAXLINK_AGGREGATION_RUNSETTINGS_H_
#define TAXLINK_AGGREGATION_RUNSETTINGS_H_

#include <cstdint>

namespace taxlink {

// The three settings bytes of a run, taken from the company's consumption-tax
// settings when the conditions dialog's texts are built (ConditionText) and
// read by the aggregation and the report afterwards. The application object
// owns them; the lower layers get them by reference.
struct RunSettings {
  uint8_t filingClass = 0;       // 0 exempt, 1 simplified, 2 standard taxation
  uint8_t mainBusinessType = 0;  // 0 none, 1..6
  uint8_t roundingMode = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RUNSETTINGS_H_
