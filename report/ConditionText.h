#ifndef TAXLINK_REPORT_CONDITIONTEXT_H_
#define TAXLINK_REPORT_CONDITIONTEXT_H_

#include <cstddef>
#include <string>

#include "aggregation/RunSettings.h"
#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "report/TaxSettingsSource.h"

namespace taxlink {

// Kinds of the condition texts shown in the conditions dialog.
constexpr int kConditionCompany = 0;
constexpr int kConditionPeriod = 1;
constexpr int kConditionFilingClass = 2;
constexpr int kConditionFourthLabel = 3;
constexpr int kConditionFourthValue = 4;

// The longest condition text in bytes.
constexpr std::size_t kConditionTextBytes = 50;

// One condition text of the data set (kind 0 to 4). Kinds 2 to 4 read the
// consumption-tax settings from source (all zeros when that read fails) and
// store the rounding mode, and kind 2 the filing class, kind 4 under
// simplified taxation the main business type, in run.
std::string ConditionText(TaxSettingsSource& source, RunSettings& run, int kind,
                          const StDATAINFO& dataSet);

// ConditionText with the settings already read. Texts longer than 50 bytes
// are cut there, never inside a double-byte character; table entries that
// a settings byte does not name give an empty text.
std::string FormatConditionText(RunSettings& run, int kind, const StDATAINFO& dataSet,
                                const StSHOHIZEIINFO& settings);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_CONDITIONTEXT_H_
