#include "resources/ConditionsDialogTemplate.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;

constexpr uint32_t kLabel = platform::kStyleGroup;
constexpr uint32_t kColon = platform::kStyleGroup | platform::kStyleRight;
constexpr uint32_t kMonthEdit = platform::kStyleBorder | platform::kStyleTabStop |
                                platform::kStyleRight | platform::kStyleNumber;
constexpr uint32_t kEdit = platform::kStyleBorder | platform::kStyleTabStop;
constexpr uint32_t kButton = platform::kStyleTabStop;

platform::DialogTemplate Build() {
  platform::DialogTemplate t;
  t.id = kIddConditions;
  t.caption = texts::kConditionsDialogCaption;
  t.rect = {0, 0, 255, 228};
  t.fontName = texts::kDialogFont;
  t.fontSize = 9;
  t.style = platform::kDialogModalFrame | platform::kDialogCaption | platform::kDialogSysMenu;
  t.controls = {
      {kIdcCompanyLabel, ControlKind::kLabel, {7, 7, 56, 12}, texts::kCompanyLabel, kLabel},
      {kIdcCompanyName,
       ControlKind::kLabel,
       {79, 7, 169, 12},
       texts::kCompanyNamePlaceholder,
       kLabel},
      {kIdcPeriodLabel, ControlKind::kLabel, {7, 27, 56, 12}, texts::kPeriodLabel, kLabel},
      {kIdcPeriodText, ControlKind::kLabel, {79, 27, 169, 12}, texts::kPeriodPlaceholder, kLabel},
      {kIdcFilingClassLabel,
       ControlKind::kLabel,
       {7, 47, 56, 12},
       texts::kFilingClassLabel,
       kLabel},
      {kIdcFilingClass,
       ControlKind::kLabel,
       {79, 47, 169, 12},
       texts::kFilingClassPlaceholder,
       kLabel},
      {kIdcFourthRowLabel,
       ControlKind::kLabel,
       {7, 67, 56, 12},
       texts::kFourthRowLabelPlaceholder,
       kLabel},
      {kIdcFourthRowValue,
       ControlKind::kLabel,
       {79, 67, 169, 12},
       texts::kFourthRowValuePlaceholder,
       kLabel},
      {kIdcMonthRangeLabel, ControlKind::kLabel, {7, 141, 56, 12}, texts::kMonthRangeLabel, kLabel},
      {kIdcStartMonthLabel,
       ControlKind::kLabel,
       {99, 141, 25, 12},
       texts::kStartMonthLabel,
       kLabel},
      {kIdcStartMonth, ControlKind::kEdit, {79, 141, 18, 12}, "", kMonthEdit},
      {kIdcRangeDash,
       ControlKind::kLabel,
       {124, 141, 12, 12},
       texts::kDateRangeDash,
       kLabel | platform::kStyleCenter},
      {kIdcEndMonthLabel, ControlKind::kLabel, {157, 141, 25, 12}, texts::kEndMonthLabel, kLabel},
      {kIdcEndMonth, ControlKind::kEdit, {137, 141, 18, 12}, "", kMonthEdit},
      {kIdcOutputGroup, ControlKind::kGroupBox, {5, 164, 241, 35}, texts::kOutputGroup, 0},
      {kIdcOutputPath, ControlKind::kEdit, {9, 179, 171, 12}, "", kEdit},
      {kIdcBrowseButton,
       ControlKind::kPushButton,
       {185, 178, 57, 14},
       texts::kBrowseButton,
       kButton},
      {kIdcRunButton, ControlKind::kPushButton, {127, 205, 57, 14}, texts::kRunButton, kButton},
      {kIdcCancelButton,
       ControlKind::kPushButton,
       {189, 205, 57, 14},
       texts::kCancelEscButton,
       kButton},
      {-1, ControlKind::kLabel, {65, 7, 9, 12}, texts::kLabelColon, kColon},
      {-1, ControlKind::kLabel, {65, 27, 9, 12}, texts::kLabelColon, kColon},
      {-1, ControlKind::kLabel, {65, 47, 9, 12}, texts::kLabelColon, kColon},
      {-1, ControlKind::kLabel, {65, 67, 9, 12}, texts::kLabelColon, kColon},
      {-1, ControlKind::kLabel, {65, 141, 9, 12}, texts::kLabelColon, kColon},
      {kIdcMethodGroup, ControlKind::kGroupBox, {5, 88, 241, 45}, texts::kMethodGroup, 0},
      {kIdcByJournals,
       ControlKind::kRadioButton,
       {13, 100, 136, 10},
       texts::kByJournalsOption,
       platform::kStyleGroup | platform::kStyleTabStop},
      {kIdcSavedReturnValues,
       ControlKind::kRadioButton,
       {13, 115, 193, 10},
       texts::kSavedReturnOption,
       0},
      {kIdcSavedValuesTip,
       ControlKind::kPicture,
       {210, 114, 11, 11},
       "",
       platform::kStyleGroup | platform::kStyleBitmap},
  };
  return t;
}

}  // namespace

const platform::DialogTemplate& ConditionsDialogTemplate() {
  static const platform::DialogTemplate kTemplate = Build();
  return kTemplate;
}

}  // namespace taxlink
