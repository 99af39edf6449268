#ifndef TAXLINK_APP_SAVEDRETURNMODE_H_
#define TAXLINK_APP_SAVEDRETURNMODE_H_

#include <cstdint>

#include "aggregation/TaxSettings.h"
#include "host/StDATAINFO.h"
#include "host/StSaveTaxInfo.h"
#include "platform/text/WinTypes.h"
#include "report/ReportInputs.h"
#include "status/Status.h"

namespace taxlink {

// Reads the saved return into saved; a host code is registered with the
// host's message manager, and the status carries what it returned. The
// reader is prepared (set manager, data id, link options) and refreshed
// first; a failure there is registered the same way.
Status ReadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet);
// Whether the saved return belongs to the data set's current period,
// taxation method, credit method and data-set code (*matches); the status
// names a failed read of the current period.
Status SavedReturnMatches(const StSaveTaxInfo* saved, const StDATAINFO& dataSet,
                          const TaxSettings& settings, bool* matches);
// Reads the saved return and tells whether it can be used
// (savedReturnUsable). A notice of the host (nothing saved) makes it
// unusable; a failure of the host (a negative code, an object it cannot
// make, a period it cannot tell) is returned: the run cannot tell whether
// the option belongs in the dialog.
Status LoadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet, const TaxSettings& settings,
                       bool* usable);
// The accounting months of two dates, registered with the host's message
// manager as ReadSavedReturn. Both outputs are written once the period
// object was obtained.
Status SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t* startMonth,
                         int16_t* endMonth);
// Writes the report from the saved return (WriteReportFile).
Status WriteSavedReport(const ReportInputs& inputs, HWND owner, const char* outputPath,
                        const StDATAINFO& dataSet);

}  // namespace taxlink

#endif  // TAXLINK_APP_SAVEDRETURNMODE_H_
