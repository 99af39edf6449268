#include "report/ConditionText.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "report/FullWidthName.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

// The condition text table.
constexpr const char* kTexts[] = {
    texts::kFilingExempt,            // 0
    texts::kFilingSimplified,        // 1
    texts::kFilingStandard,          // 2
    texts::kMainBusinessType,        // 3
    texts::kInputTaxDeduction,       // 4
    texts::kIndividualAttribution,   // 5
    texts::kProportionalAllocation,  // 6
    texts::kNotSpecified,            // 7
    texts::kBusinessType1,           // 8
    texts::kBusinessType2,           // 9
    texts::kBusinessType3,           // 10
    texts::kBusinessType4,           // 11
    texts::kBusinessType5,           // 12
    texts::kBusinessType6,           // 13
};
constexpr int kTextCount = static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0]));

// Entry index of the table, or null when index lies outside it (or outside
// the entries that a row may name).
const char* Entry(int index, int first, int last) {
  if (index < first || index > last || index >= kTextCount) return nullptr;
  return kTexts[index];
}

std::string Blank(const char* text) {
  return text == nullptr ? std::string() : std::string(" ") + text;
}

std::string DateText(int32_t date) {
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "%04d/%02d/%02d", date / 10000, (date % 10000) / 100,
                date % 100);
  return buffer;
}

}  // namespace

std::string ConditionText(int kind, const StDATAINFO& dataSet, const StSHOHIZEIINFO& settings) {
  std::string text;
  const int filingClass = settings.filingClass;
  switch (kind) {
    case kConditionCompany:
      text = " " + std::string(dataSet.companyName,
                               strnlen(dataSet.companyName, sizeof(dataSet.companyName)));
      break;
    case kConditionPeriod:
      text =
          " " + DateText(dataSet.periodStart) + texts::kDateRangeDash + DateText(dataSet.periodEnd);
      break;
    case kConditionFilingClass:
      text = Blank(Entry(filingClass, 0, 2));
      break;
    case kConditionFourthLabel:
      if (filingClass != 0) {
        const char* label = Entry(filingClass + 2, 3, 4);
        if (label != nullptr) text = label;
      }
      break;
    case kConditionFourthValue:
      if (filingClass == 1) {
        text = Blank(Entry(settings.mainBusinessType + 7, 7, 13));
      } else if (filingClass == 2) {
        text = Blank(Entry(settings.creditMethod + 5, 5, 6));
      }
      break;
    default:
      break;
  }
  return CutAtCharBoundary(text, kConditionTextBytes);
}

}  // namespace taxlink
