#include "resources/ConditionsDialogTemplate.h"

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
  t.caption = "消費税 - 集計条件";
  t.rect = {0, 0, 255, 228};
  t.fontName = "ＭＳ Ｐゴシック";
  t.fontSize = 9;
  t.style = platform::kDialogModalFrame | platform::kDialogCaption | platform::kDialogSysMenu;
  t.controls = {
      {kIdcCompanyLabel, ControlKind::kLabel, {7, 7, 56, 12}, "事業所名", kLabel},
      {kIdcCompanyName, ControlKind::kLabel, {79, 7, 169, 12}, "××××××××××××××××××××", kLabel},
      {kIdcPeriodLabel, ControlKind::kLabel, {7, 27, 56, 12}, "会計期間", kLabel},
      {kIdcPeriodText, ControlKind::kLabel, {79, 27, 169, 12}, "2001/01/01～2001/12/31", kLabel},
      {kIdcFilingClassLabel, ControlKind::kLabel, {7, 47, 56, 12}, "消費税申告区分", kLabel},
      {kIdcFilingClass, ControlKind::kLabel, {79, 47, 169, 12}, "××××", kLabel},
      {kIdcFourthRowLabel, ControlKind::kLabel, {7, 67, 56, 12}, "課税仕入控除○○", kLabel},
      {kIdcFourthRowValue, ControlKind::kLabel, {79, 67, 169, 12}, "××××××××", kLabel},
      {kIdcMonthRangeLabel, ControlKind::kLabel, {7, 141, 56, 12}, "集計期間", kLabel},
      {kIdcStartMonthLabel, ControlKind::kLabel, {99, 141, 25, 12}, "月度(&S)", kLabel},
      {kIdcStartMonth, ControlKind::kEdit, {79, 141, 18, 12}, "", kMonthEdit},
      {kIdcRangeDash, ControlKind::kLabel, {124, 141, 12, 12}, "～",
       kLabel | platform::kStyleCenter},
      {kIdcEndMonthLabel, ControlKind::kLabel, {157, 141, 25, 12}, "月度(&E)", kLabel},
      {kIdcEndMonth, ControlKind::kEdit, {137, 141, 18, 12}, "", kMonthEdit},
      {kIdcOutputGroup, ControlKind::kGroupBox, {5, 164, 241, 35}, "出力先(&O)", 0},
      {kIdcOutputPath, ControlKind::kEdit, {9, 179, 171, 12}, "", kEdit},
      {kIdcBrowseButton, ControlKind::kPushButton, {185, 178, 57, 14}, "参照(&D)...", kButton},
      {kIdcRunButton, ControlKind::kPushButton, {127, 205, 57, 14}, "実行(F12)", kButton},
      {kIdcCancelButton, ControlKind::kPushButton, {189, 205, 57, 14}, "キャンセル(Esc)", kButton},
      {-1, ControlKind::kLabel, {65, 7, 9, 12}, "：", kColon},
      {-1, ControlKind::kLabel, {65, 27, 9, 12}, "：", kColon},
      {-1, ControlKind::kLabel, {65, 47, 9, 12}, "：", kColon},
      {-1, ControlKind::kLabel, {65, 67, 9, 12}, "：", kColon},
      {-1, ControlKind::kLabel, {65, 141, 9, 12}, "：", kColon},
      {kIdcMethodGroup, ControlKind::kGroupBox, {5, 88, 241, 45}, "集計方法", 0},
      {kIdcByJournals, ControlKind::kRadioButton, {13, 100, 136, 10},
       "集計期間を指定して仕訳を集計する(&N)", platform::kStyleGroup | platform::kStyleTabStop},
      {kIdcSavedReturnValues, ControlKind::kRadioButton, {13, 115, 193, 10},
       "連動元製品の[消費税申告書作成]で入力した値を使用する(&P)", 0},
      {kIdcSavedValuesTip, ControlKind::kPicture, {210, 114, 11, 11}, "",
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
