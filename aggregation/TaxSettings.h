#ifndef TAXLINK_AGGREGATION_TAXSETTINGS_H_
#define TAXLINK_AGGREGATION_TAXSETTINGS_H_

#include <cstdint>

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "status/Status.h"

namespace taxlink {

// The rate rows a table of the tax return may have: the 8, 5 and 3 % rows
// at least, and no more than the 16-bit count the tables are sized by.
constexpr int32_t kMinRateRows = 3;
constexpr int32_t kMaxRateRows = INT16_MAX;

// The company's consumption-tax settings, read from the host once per run
// (ReadTaxSettings) and shared as a value by the dialog's texts, the
// aggregation and the report.
struct TaxSettings {
  // The host has a consumption-tax set object (kind 4); without one there
  // are no rate rows and journal aggregation cannot run.
  bool setObjectFound = false;
  StSHOHIZEIINFO record{};
  // The number of rate rows the host reported (kMinRateRows..kMaxRateRows
  // once read).
  int32_t rateCount = 0;

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
// object into *out: the record and the number of rate rows. Ok, or the
// first read that failed; a count outside kMinRateRows..kMaxRateRows is a
// failure too (tables sized by it would be overrun or short of rows). A
// settings record that could not be read would pass for an exempt company.
Status ReadTaxSettings(const StDATAINFO& dataSet, TaxSettings* out);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_TAXSETTINGS_H_
