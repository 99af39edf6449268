#ifndef TAXLINK_REPORT_CONDITIONTEXT_H_
#define TAXLINK_REPORT_CONDITIONTEXT_H_

#include <cstddef>
#include <string>

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"

namespace taxlink {

// Kinds of the condition texts shown in the conditions dialog.
constexpr int kConditionCompany = 0;
constexpr int kConditionPeriod = 1;
constexpr int kConditionFilingClass = 2;
constexpr int kConditionFourthLabel = 3;
constexpr int kConditionFourthValue = 4;

// The longest condition text in bytes.
constexpr std::size_t kConditionTextBytes = 50;

// One condition text of the data set (kind 0 to 4); kinds 2 to 4 describe
// its consumption-tax settings (all zeros when they could not be read).
// Texts longer than 50 bytes are cut there, never inside a double-byte
// character; table entries that a settings byte does not name give an empty
// text.
std::string ConditionText(int kind, const StDATAINFO& dataSet, const StSHOHIZEIINFO& settings);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_CONDITIONTEXT_H_
