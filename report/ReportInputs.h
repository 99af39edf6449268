#ifndef TAXLINK_REPORT_REPORTINPUTS_H_
#define TAXLINK_REPORT_REPORTINPUTS_H_

#include <cstdint>

#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StSaveTaxInfo.h"

namespace taxlink {

// What the report reads of a run, and never changes: the figures, the
// consumption-tax settings, the saved return and the host's function id. The
// referenced values belong to the run.
struct ReportInputs {
  const TaxSummaryTables& tables;
  const TaxSettings& settings;
  const StSaveTaxInfo* savedReturn = nullptr;  // null when none was read
  int16_t functionId = 1;
};

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTINPUTS_H_
