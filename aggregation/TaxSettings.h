#ifndef TAXLINK_AGGREGATION_TAXSETTINGS_H_
#define TAXLINK_AGGREGATION_TAXSETTINGS_H_

#include <cstdint>

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "status/Status.h"

namespace taxlink {

// The company's consumption-tax settings, read from the host once per run
// (ReadTaxSettings) and shared as a value by the dialog's texts, the
// aggregation and the report.
struct TaxSettings {
  // The host has a consumption-tax set object (kind 4); without one there
  // are no rate rows and journal aggregation cannot run.
  bool setObjectFound = false;
  // The settings record; zero-filled when the read failed (filing class 0).
  StSHOHIZEIINFO record{};
  Status recordRead;
  // The number of rate rows as the host reported it; a negative count is the
  // host's error code, kept in rateCountRead.
  int32_t rateCount = 0;
  Status rateCountRead;

  // 0 exempt, 1 simplified, 2 standard taxation.
  uint8_t filingClass() const { return record.filingClass; }
  uint8_t roundingMode() const { return record.roundingMode; }
  // The main business type counts under simplified taxation only (0 else).
  uint8_t mainBusinessType() const { return filingClass() == 1 ? record.mainBusinessType : 0; }
  bool taxIncluded() const { return record.taxIncluded != 0; }
  // The rate rows taken as the host's 16-bit count.
  int16_t rateRows() const { return static_cast<int16_t>(rateCount); }
};

// Reads the settings of dataSet through the host's consumption-tax set
// object: the record and the number of rate rows.
TaxSettings ReadTaxSettings(const StDATAINFO& dataSet);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_TAXSETTINGS_H_
