#include "report/ConditionText.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "report/FullWidthName.h"

namespace taxlink {

namespace {

// The condition text table.
constexpr const char* kTexts[] = {
    "免税",                   // 0
    "簡易課税",               // 1
    "原則課税",               // 2
    "主となる事業分類",       // 3
    "課税仕入控除",           // 4
    "個別対応方式",           // 5
    "一括比例配分方式",       // 6
    "指定なし",               // 7
    "第一種事業 卸売業",      // 8
    "第二種事業 小売業",      // 9
    "第三種事業 製造業",      // 10
    "第四種事業 その他",      // 11
    "第五種事業 サービス業",  // 12
    "第六種事業 不動産業",    // 13
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
      text = " " + DateText(dataSet.periodStart) + "～" + DateText(dataSet.periodEnd);
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
