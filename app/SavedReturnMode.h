#ifndef TAXLINK_APP_SAVEDRETURNMODE_H_
#define TAXLINK_APP_SAVEDRETURNMODE_H_

#include <cstdint>

#include "host/StDATAINFO.h"
#include "host/StSaveTaxInfo.h"
#include "platform/WinTypes.h"

namespace taxlink {

class LinkApp;

// Reads the saved return into saved: 0 on success, non-zero on failure (the
// code as registered with the host's message manager).
int32_t ReadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet);
// 1 when the saved return belongs to the data set's current period,
// taxation method, credit method and data-set code; else 0.
int SavedReturnMatches(LinkApp& app, const StSaveTaxInfo* saved, const StDATAINFO& dataSet);
// Reads the saved return and yields savedReturnUsable (1/0).
int LoadSavedReturn(LinkApp& app, StSaveTaxInfo* saved, const StDATAINFO& dataSet);
// The accounting months of two dates; the registered error code (0 on
// success). Both outputs are written once the period object was obtained.
int32_t SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t* startMonth,
                          int16_t* endMonth);
// Writes the report from the saved return: 1 written, 0 given up or failed
// (runResult is then 2).
int WriteSavedReport(LinkApp& app, HWND owner, const char* outputPath, const StDATAINFO& dataSet);

}  // namespace taxlink

#endif  // TAXLINK_APP_SAVEDRETURNMODE_H_
