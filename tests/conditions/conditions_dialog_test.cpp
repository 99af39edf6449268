#include <filesystem>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "conditions/ConditionsDialog.h"
#include "mvhost/lib/ToolTipRegistry.h"
#include "platform/text/WinTypes.h"
#include "platform/ui/ScriptedUi.h"
#include "resources/ConditionsDialogTemplate.h"
#include "tests/support/ConditionsDialogFixture.h"
#include "tests/support/ConditionsTestSupport.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

using testing::ConditionsScopedEnv;
using testing::ConditionsWriteFile;
namespace fs = std::filesystem;

constexpr uint32_t kRefusal = testing::kRefusalStyle;
constexpr uint32_t kNotice = testing::kNoticeStyle;
using testing::ConditionsDialogTest;

TEST_F(ConditionsDialogTest, OpensWithThePeriodAndTheHostOutputFolder) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  EXPECT_FALSE(dialog.IsEnded());
  EXPECT_TRUE(ui().messages.empty());
  EXPECT_EQ(dialog.GetItemText(kIdcCompanyName), "株式会社見本"_sjis);
  EXPECT_EQ(dialog.GetItemText(kIdcFourthRowLabel), "課税売上割合"_sjis);
  EXPECT_EQ(dialog.GetItemText(kIdcFourthRowValue), "95%以上"_sjis);
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "4");
  EXPECT_EQ(dialog.GetItemText(kIdcEndMonth), "3");  // 103 shown modulo 100
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\home\\folders\\out\\*.xml");
  EXPECT_EQ(dialog.GetItemText(kIdcOutputGroup), "出力先(&O)"_sjis);
  EXPECT_TRUE(dialog.IsChecked(kIdcByJournals));
  EXPECT_FALSE(dialog.IsChecked(kIdcSavedReturnValues));
  EXPECT_EQ(dialog.GetFocusId(), kIdcByJournals);
  EXPECT_TRUE(dialog.IsItemEnabled(kIdcOutputPath));
  EXPECT_TRUE(dialog.IsItemEnabled(kIdcBrowseButton));
  EXPECT_EQ(dialog.PathFixedByHost(), 0);
  EXPECT_EQ(dialog.GetControl(kIdcOutputPath)->textLimit, 255u);
  // Standard taxation explains the saved-values method.
  std::vector<mvhost::ToolTip> tips = mvhost::ToolTipsOf(&dialog);
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0].controlId, kIdcSavedValuesTip);
  EXPECT_EQ(tips[0].flag, 1);
  EXPECT_EQ(
      tips[0].text.rfind("連動元製品にて入力・保存した消費税申告書の情報を使用します。\n"_sjis, 0),
      0u);
}

TEST_F(ConditionsDialogTest, NoTooltipWithoutStandardTaxation) {
  for (int16_t code : std::initializer_list<int16_t>{0, 1}) {
    ConditionsDialog dialog(0);
    Fill(dialog);
    dialog.filingClassCode = code;
    dialog.Create();
    EXPECT_TRUE(mvhost::ToolTipsOf(&dialog).empty()) << code;
  }
}

TEST_F(ConditionsDialogTest, FallsBackToTheTemporaryFolder) {
  ConditionsScopedEnv noFolder("MVHOST_FAULTS", "ClFileMgr::GetAppFolderPath=1");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\tmp\\*.xml");
}

TEST_F(ConditionsDialogTest, RememberedSavedValuesMethodTakesJournalMonthsFromThePeriod) {
  Remember("U01/3/1:1/5/6/C:\\out\\r.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  EXPECT_TRUE(dialog.IsChecked(kIdcSavedReturnValues));
  EXPECT_EQ(dialog.GetFocusId(), kIdcSavedReturnValues);
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "6");  // the saved return's months
  EXPECT_EQ(dialog.GetItemText(kIdcEndMonth), "9");
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcStartMonth));
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcEndMonth));
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\out\\r.xml");
  EXPECT_EQ(dialog.RememberedPath(), "C:\\out\\r.xml");
  // Back to journals: the period's months, not the record's.
  ASSERT_TRUE(dialog.UserClick(kIdcByJournals));
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "4");
  EXPECT_EQ(dialog.GetItemText(kIdcEndMonth), "3");
  EXPECT_TRUE(dialog.IsItemEnabled(kIdcStartMonth));
  EXPECT_EQ(dialog.GetRunConditions().aggregationMethod, kByJournals);
}

TEST_F(ConditionsDialogTest, RememberedJournalMethodKeepsTheRecordMonths) {
  Remember("U01/3/1:0/5/6/C:\\out\\r.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  EXPECT_TRUE(dialog.IsChecked(kIdcByJournals));
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "5");
  EXPECT_EQ(dialog.GetItemText(kIdcEndMonth), "6");
  // Switching shows the saved months; typed months are not kept.
  ASSERT_TRUE(dialog.UserSetText(kIdcStartMonth, "8"));
  ASSERT_TRUE(dialog.UserClick(kIdcSavedReturnValues));
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "6");
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcEndMonth));
  EXPECT_EQ(dialog.GetRunConditions().aggregationMethod, kSavedReturnValues);
  ASSERT_TRUE(dialog.UserClick(kIdcByJournals));
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "5");
}

TEST_F(ConditionsDialogTest, WithoutSavedValuesOnlyJournalsCanBeChosen) {
  Remember("U01/3/1:1/5/6/C:\\out\\r.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.savedReturnUsable = 0;
  dialog.Create();
  EXPECT_TRUE(dialog.IsChecked(kIdcByJournals));
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcByJournals));
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcSavedReturnValues));
  EXPECT_TRUE(dialog.IsItemEnabled(kIdcStartMonth));
  EXPECT_TRUE(dialog.IsItemEnabled(kIdcEndMonth));
  EXPECT_EQ(dialog.GetItemText(kIdcStartMonth), "4");
  // The start month has the focus with its text selected: typing replaces it.
  EXPECT_EQ(dialog.GetFocusId(), kIdcStartMonth);
  EXPECT_EQ(dialog.GetControl(kIdcStartMonth)->selStart, 0);
  EXPECT_EQ(dialog.GetControl(kIdcStartMonth)->selEnd, -1);
  EXPECT_FALSE(dialog.UserClick(kIdcSavedReturnValues));
  EXPECT_EQ(dialog.GetRunConditions().aggregationMethod, kByJournals);
}

TEST_F(ConditionsDialogTest, HostSuppliedPathIsFixedAndNeverQuestioned) {
  ConditionsWriteFile(dir_.PosixOf("out/host.xml"), "old report");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.hostOutputPath = "C:\\out\\host.xml";
  dialog.Create();
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\out\\host.xml");
  EXPECT_EQ(dialog.GetItemText(kIdcOutputGroup), "出力先"_sjis);
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcOutputPath));
  EXPECT_FALSE(dialog.IsItemEnabled(kIdcBrowseButton));
  EXPECT_EQ(dialog.PathFixedByHost(), 1);
  // Enter in the end month goes straight to the run button.
  ASSERT_TRUE(dialog.UserFocus(kIdcEndMonth));
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_EQ(dialog.GetFocusId(), kIdcRunButton);
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_TRUE(ui().messages.empty());
  EXPECT_TRUE(dialog.IsEnded());
  EXPECT_EQ(dialog.Result(), kConditionsRun);
  EXPECT_EQ(dialog.GetRunConditions().outputPath, "C:\\out\\host.xml");
}

struct RefusalCase {
  const char* name;
  int32_t pastResultsData;
  bool exempt;  // display texts 3 and 4 empty
  const char* message;
  std::string hostPath = std::string();
};

const RefusalCase kRefusals[] = {
    {"PastResults", 1, false,
     "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。"_sjis},
    {"PastResultsAndExempt", 1, true,
     "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。"_sjis},
    {"Exempt", 0, true,
     "消費税申告区分が免税のデータは、連携の対象として使用できません。\n\nアプリケーションを終了します。"_sjis},
    // A host's path the run cannot take: nobody can correct it in the dialog.
    {"HostPathTooLong", 0, false,
     "連動元製品から指定されたデータの出力先が長すぎます。\n\nアプリケーションを終了します。"_sjis,
     "C:\\out\\" + std::string(253, 'a') + ".xml"},
};

class ConditionsRefusalTest : public ConditionsDialogTest,
                              public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ConditionsRefusalTest, RefusesAndEndsCancelled) {
  const RefusalCase& c = GetParam();
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.pastResultsData = c.pastResultsData;
  if (c.exempt) dialog.displayTexts[3] = dialog.displayTexts[4] = "";
  dialog.hostOutputPath = c.hostPath;
  bool acted = false;
  ui().modalAction = [&](platform::Dialog&) { acted = true; };
  EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  EXPECT_FALSE(acted);
  ExpectOnlyMessage(c.message, kRefusal);
}

INSTANTIATE_TEST_SUITE_P(DataSets, ConditionsRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ConditionsDialogTest, EnterMovesThroughTheFields) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  ASSERT_TRUE(dialog.UserFocus(kIdcStartMonth));
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_EQ(dialog.GetFocusId(), kIdcEndMonth);
  EXPECT_EQ(dialog.GetControl(kIdcEndMonth)->selStart, 0);
  EXPECT_EQ(dialog.GetControl(kIdcEndMonth)->selEnd, -1);
  EXPECT_TRUE(dialog.GetControl(kIdcEndMonth)->caretVisible);
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_EQ(dialog.GetFocusId(), kIdcOutputPath);
  EXPECT_EQ(dialog.GetControl(kIdcOutputPath)->selEnd, -1);
  EXPECT_TRUE(dialog.GetControl(kIdcOutputPath)->caretVisible);
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_EQ(dialog.GetFocusId(), kIdcBrowseButton);
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));  // browse, cancelled
  EXPECT_TRUE(ui().lastSaveRequest.has_value());
  EXPECT_EQ(dialog.GetFocusId(), kIdcRunButton);
  EXPECT_TRUE(ui().messages.empty());
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));  // run: "*.xml" is refused
  ExpectOnlyMessage(
      "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"_sjis,
      kRefusal);
  EXPECT_FALSE(dialog.IsEnded());
  EXPECT_EQ(dialog.GetFocusId(), kIdcOutputPath);
}

TEST_F(ConditionsDialogTest, EnterWithAModifierIsNotNavigation) {
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, "C:\\out\\x.xml");
  ASSERT_TRUE(dialog.UserSetText(kIdcStartMonth, "13"));
  ASSERT_TRUE(dialog.UserFocus(kIdcStartMonth));
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, platform::kModShift));
  // Standard processing ends in the run checks, never in an unchecked end.
  EXPECT_FALSE(dialog.IsEnded());
  ExpectOnlyMessage("集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis,
                    kRefusal);
  EXPECT_EQ(dialog.GetFocusId(), kIdcStartMonth);
}

TEST_F(ConditionsDialogTest, EnterOnARadioButtonRunsTheChecks) {
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, "");
  ASSERT_TRUE(dialog.UserFocus(kIdcByJournals));
  ASSERT_TRUE(dialog.UserKey(platform::kVkReturn, 0));
  EXPECT_FALSE(dialog.IsEnded());
  ExpectOnlyMessage("データ出力先が指定されていません。\n\n出力先を指定してください。"_sjis,
                    kRefusal);
}

TEST_F(ConditionsDialogTest, F12RunsFromEveryControl) {
  const int focusable[] = {kIdcStartMonth, kIdcEndMonth,     kIdcOutputPath, kIdcBrowseButton,
                           kIdcRunButton,  kIdcCancelButton, kIdcByJournals, kIdcSavedReturnValues};
  for (int id : focusable) {
    ConditionsDialog dialog(0);
    OpenWithPath(dialog, "C:\\out\\f12.xml");
    ASSERT_TRUE(dialog.UserFocus(id)) << id;
    ASSERT_TRUE(dialog.UserKey(platform::kVkF12, 0));
    EXPECT_TRUE(dialog.IsEnded()) << id;
    EXPECT_EQ(dialog.Result(), kConditionsRun) << id;
  }
  EXPECT_TRUE(ui().messages.empty());
}

TEST_F(ConditionsDialogTest, F12WithModifiersDoesNothing) {
  for (unsigned modifiers : {platform::kModShift, platform::kModCtrl, platform::kModAlt}) {
    ConditionsDialog dialog(0);
    OpenWithPath(dialog, "C:\\out\\f12.xml");
    ASSERT_TRUE(dialog.UserKey(platform::kVkF12, modifiers));
    EXPECT_FALSE(dialog.IsEnded()) << modifiers;
  }
  EXPECT_TRUE(ui().messages.empty());
}

TEST_F(ConditionsDialogTest, EscapeCancelButtonAndCloseBoxCancel) {
  enum Way { kEscape, kButton, kCloseBox, kCtrlEscape };
  for (Way way : {kEscape, kButton, kCloseBox, kCtrlEscape}) {
    ui().messages.clear();
    ConditionsDialog dialog(0);
    Fill(dialog);
    ui().modalAction = [way](platform::Dialog& d) {
      if (way == kEscape) d.UserKey(platform::kVkEscape, 0);
      if (way == kCtrlEscape) d.UserKey(platform::kVkEscape, platform::kModCtrl);
      if (way == kButton) d.UserClick(kIdcCancelButton);
      if (way == kCloseBox) d.UserClose();
    };
    EXPECT_EQ(dialog.DoModal(), kConditionsCancelled) << way;
    ExpectOnlyMessage("｢消費税｣の集計を中止します。"_sjis, kNotice);
  }
}

TEST_F(ConditionsDialogTest, BrowseOffersTheFolderAndNameOfThePath) {
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, "C:\\out\\tax.xml");
  ui().saveAnswer = "C:\\out\\chosen.xml";
  ASSERT_TRUE(dialog.UserClick(kIdcBrowseButton));
  ASSERT_TRUE(ui().lastSaveRequest.has_value());
  const platform::SaveFileRequest& request = *ui().lastSaveRequest;
  EXPECT_EQ(request.owner, dialog.Handle());
  EXPECT_EQ(request.defaultExtension, "XML");
  EXPECT_EQ(request.fileName, "tax.xml");
  EXPECT_EQ(request.initialFolder, "C:\\out\\");
  EXPECT_EQ(request.filter, "Xml Files (*.xml)|*.xml||");
  EXPECT_EQ(request.title, "保存ファイルを指定"_sjis);
  EXPECT_EQ(request.flags, 0x180Cu);
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\out\\chosen.xml");
  EXPECT_EQ(dialog.GetFocusId(), kIdcRunButton);

  // Without a separator the split is made at the colon; a cancelled choice
  // leaves the path alone.
  ASSERT_TRUE(dialog.UserSetText(kIdcOutputPath, "D:name.xml"));
  ui().saveAnswer.reset();
  ASSERT_TRUE(dialog.UserClick(kIdcBrowseButton));
  EXPECT_EQ(ui().lastSaveRequest->initialFolder, "D:");
  EXPECT_EQ(ui().lastSaveRequest->fileName, "name.xml");
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "D:name.xml");
  EXPECT_EQ(dialog.GetFocusId(), kIdcRunButton);
}

TEST_F(ConditionsDialogTest, SavedRecordMovesToTheEndWithTheRunPath) {
  Remember("U01/3/1:0/5/6/C:\\out\\old.xml\nU02/1/1:0/1/1/C:\\u2.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  ui().modalAction = [](platform::Dialog& d) {
    d.UserSetText(kIdcOutputPath, "C:\\out\\new.xml");
    d.UserKey(platform::kVkF12, 0);
  };
  ASSERT_EQ(dialog.DoModal(), kConditionsRun);
  RunConditions conditions = dialog.GetRunConditions();
  EXPECT_EQ(conditions.startMonth, 5);
  ASSERT_TRUE(dialog.SaveRememberedOutputPath(5, 6, conditions.outputPath.c_str(), 0));
  EXPECT_EQ(RememberedFile(), "U02/1/1:0/1/1/C:\\u2.xml\nU01/3/1:0/5/6/C:\\out\\new.xml\n");
}

TEST_F(ConditionsDialogTest, HostLaunchedRunKeepsThePathReadAtOpen) {
  Remember("U01/3/1:0/5/6/C:\\out\\old.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  ASSERT_TRUE(dialog.UserSetText(kIdcOutputPath, "C:\\out\\other.xml"));
  ASSERT_TRUE(dialog.SaveRememberedOutputPath(7, 8, nullptr, 1));
  EXPECT_EQ(RememberedFile(), "U01/3/1:1/7/8/C:\\out\\old.xml\n");
}

TEST_F(ConditionsDialogTest, HostLaunchedFirstRunRemembersAnEmptyPath) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.hostOutputPath = "C:\\out\\host.xml";
  dialog.Create();
  ASSERT_TRUE(dialog.SaveRememberedOutputPath(4, 3, nullptr, 0));
  EXPECT_EQ(RememberedFile(), "U01/3/1:0/4/3/\n");
  int16_t start = 0;
  int16_t end = 0;
  int32_t method = -1;
  char path[261] = "x";
  ASSERT_TRUE(dialog.ReadRememberedOutputPath(&start, &end, path, &method));
  EXPECT_EQ(std::string(path), "");
  EXPECT_EQ(method, 0);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 3);
}

TEST_F(ConditionsDialogTest, AnotherUsersRecordIsNotOffered) {
  Remember("AU01/3/1:1/9/9/C:\\out\\other.xml\n");
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.Create();
  EXPECT_EQ(dialog.GetItemText(kIdcOutputPath), "C:\\home\\folders\\out\\*.xml");
  EXPECT_TRUE(dialog.IsChecked(kIdcByJournals));
  EXPECT_EQ(dialog.RememberedPath(), "");
}

// The real scripted front end drives the dialog model.
TEST_F(ConditionsDialogTest, ScriptedFrontEndDrivesTheDialog) {
  // Type a path in a missing folder, refuse to create it, browse to another
  // file and run with Enter on the focused run button.
  const char* script = R"({"dialog":130,"do":"type","id":1008,"text":"C:\\out\\a\\s.xml"}
{"do":"key","key":"F12"}
{"answer":"no"}
{"do":"click","id":1009}
{"saveas":"C:\\out\\s.xml"}
{"do":"key","key":"Enter"}
)";
  auto owned = std::make_unique<platform::ScriptedUi>(script);
  platform::ScriptedUi* scripted = owned.get();
  std::unique_ptr<platform::UserInterface> previous = platform::SetUi(std::move(owned));
  ConditionsDialog dialog(0);
  Fill(dialog);
  int result = dialog.DoModal();
  EXPECT_EQ(scripted->ScriptError(), "");
  EXPECT_EQ(scripted->MismatchCount(), 0);
  EXPECT_EQ(scripted->RemainingSteps(), 0u);
  EXPECT_EQ(scripted->Events("message").size(), 1u);
  platform::SetUi(std::move(previous));
  EXPECT_EQ(result, kConditionsRun);
  EXPECT_EQ(dialog.GetRunConditions().outputPath, "C:\\out\\s.xml");
  EXPECT_FALSE(fs::exists(dir_.PosixOf("out/a")));
}

TEST(ConditionsDialogTemplateTest, TabOrderAndRadioGroup) {
  const platform::DialogTemplate& t = ConditionsDialogTemplate();
  EXPECT_EQ(t.id, 130);
  EXPECT_STREQ(t.caption, "消費税 - 集計条件"_sjis);
  EXPECT_EQ(t.rect.width, 255);
  EXPECT_EQ(t.rect.height, 228);
  std::vector<int> stops;
  for (const platform::ControlTemplate& c : t.controls) {
    if ((c.style & platform::kStyleTabStop) != 0) stops.push_back(c.id);
  }
  EXPECT_EQ(stops, (std::vector<int>{kIdcStartMonth, kIdcEndMonth, kIdcOutputPath, kIdcBrowseButton,
                                     kIdcRunButton, kIdcCancelButton, kIdcByJournals}));
  int colons = 0;
  for (const platform::ControlTemplate& c : t.controls) {
    if (c.id == -1) {
      ++colons;
      EXPECT_STREQ(c.text, "："_sjis);
      EXPECT_EQ(c.rect.x, 65);
    }
    if (c.id == kIdcStartMonth || c.id == kIdcEndMonth) {
      EXPECT_NE(c.style & platform::kStyleNumber, 0u);
      EXPECT_NE(c.style & platform::kStyleRight, 0u);
    }
  }
  EXPECT_EQ(colons, 5);
}

}  // namespace
}  // namespace taxlink
