// The run: one call of InitInstance from start to the closing message, and
// ExitInstance, which reports the result to the host window.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "aggregation/AddTaxDlg.h"
#include "resources/Edition.h"
#include "app/HostCommandLine.h"
#include "app/LinkApp.h"
#include "app/SavedReturnMode.h"
#include "app/TargetCompatibility.h"
#include "conditions/ConditionsDialog.h"
#include "conditions/RunConditions.h"
#include "host/ClAccConnect.h"
#include "host/ClDataMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSetShohizei.h"
#include "host/ClSysUser.h"
#include "platform/HostWindow.h"
#include "platform/Mbcs.h"
#include "platform/PathMapping.h"
#include "platform/UserInterface.h"
#include "platform/WinFileSystem.h"
#include "report/ConditionText.h"
#include "report/ReportFile.h"

namespace taxlink {

namespace {

constexpr int kDialogCancelled = 1006;
constexpr int32_t kUseDataType = 3;
constexpr int32_t kSixthBusinessType = 6;
constexpr int32_t kSixthTypeFirstDate = 20150401;

constexpr char kSixthTypeMessage[] =
    "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n"
    "「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できません。\n"
    "\n%s の以下の機能にて事業分類を見直してください。\n\n"
    "・各種帳簿機能(簡易振替伝票入力等)\n"
    "※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。";
constexpr char kTenPercentMessage[] =
    "集計範囲に税率「10%」の仕訳があるため、集計できません。\n\n"
    "※消費税率「10%」の仕訳の集計は、今後提供予定の連動コンポーネントにて対応します。";
constexpr char kImportClassMessage[] =
    "集計範囲の中に、輸入取引の本体分、国税分、地方税分が未確定の税区分(31,32,33,35,36,37)を使用している仕訳があります。\n"
    "この仕訳の金額は、消費税申告書には集計されません。";
constexpr char kFinishedMessage[] =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";

// The wait cursor of the aggregation and the report; ended on every exit.
class WaitCursor {
 public:
  WaitCursor() = default;
  ~WaitCursor() { End(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  void Begin() {
    if (!active_) platform::Ui().BeginWaitCursor();
    active_ = true;
  }
  void End() {
    if (active_) platform::Ui().EndWaitCursor();
    active_ = false;
  }

 private:
  bool active_ = false;
};

// The folder of the program's executable (up to its last separator).
std::string ModuleFolder() {
  std::string module = platform::GetModuleFileName();
  size_t cut = std::string::npos;
  for (size_t i = 0; i < module.size(); ++i) {
    if (module[i] == '\\' && !platform::IsTrailAt(module.c_str(), i)) cut = i;
  }
  return cut == std::string::npos ? std::string() : module.substr(0, cut + 1);
}

int ShowMessage(HWND owner, const char* text, uint32_t style) {
  return platform::Ui().MessageBox(owner, text, kMessageCaption, style);
}

}  // namespace

BOOL LinkApp::InitInstance() {
  // Step 2: announce the edition and open the host link.
  ClAccConnect::Inst()->caption = kMessageCaption;
  ClAccConnect::Inst()->SetAppType(CurrentEdition().appType);
  ClAccConnect::Inst()->SetUseDataType(kUseDataType);
  if (ClAccConnect::Inst()->Initiate() != 0) {
    linkRefused = true;
    return FALSE_;
  }

  // Step 3: the host's launch arguments; the host window stays disabled
  // until ExitInstance.
  if (ParseHostCommandLine(*this, commandLine) == 1) {
    launchedByHost = 1;
    hostWindowObject = hostWindow;
    platform::EnableWindow(hostWindow, false);
    ClAccConnect::Inst()->ownerWindow = hostWindow;
  }

  // Step 4: relative file names are looked up in the program's folder.
  std::string folder = ModuleFolder();
  if (!folder.empty()) {
    platform::Chdir(folder.c_str());
  } else {
    // The filing application's check below cannot find its file then.
    std::fprintf(stderr,
                 "taxlink: the program's folder %s has no drive letter in the drive map (%s):"
                 " map a drive to it or to a folder above it\n",
                 platform::GetModuleFolderPosix().c_str(), platform::DriveMapSetting().c_str());
  }

  // Steps 5 and 6.
  if (CheckTargetCompatibility(*this, 1) == 0) {
    runResult = kRunFailed;
    return FALSE_;
  }
  int32_t link = ClAccConnect::Inst()->ExpSysLink();
  if (link != 0) {
    runResult = link == 1 ? kRunStopped : kRunFailed;
    return FALSE_;
  }

  // Steps 7 and 8: the selected data set (zero-filled when not found) and the
  // saved return. A host error while reading it (a text of the store that
  // cannot be read, a damaged store) fails the run: a report of the
  // zero-filled record would name no company.
  StDATAINFO dataSet;
  int32_t readError = 0;
  LoadSelectedDataSet(&dataSet, &readError);
  if (readError != 0 && ClMsgMgr::Inst()->CheckFatalErrorWithMsg(readError, -1, 1, 0) != 0) {
    runResult = kRunFailed;
    return FALSE_;
  }
  savedReturn = std::make_unique<StSaveTaxInfo>();
  std::memset(savedReturn.get(), 0, sizeof(StSaveTaxInfo));
  int savedReturnUsable = LoadSavedReturn(*this, savedReturn.get(), dataSet);

  // Step 9: the conditions dialog.
  ConditionsDialog conditionsDialog(hostWindowObject);
  char outputPath[261] = {};
  {
    char userId[65] = {};
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    int32_t first = 0;
    int32_t second = 0;
    if (user != nullptr) {
      user->GetCurUserID(userId);
      user->GetSelectedNo(userId, &first, &second);
    }
    conditionsDialog.userId = userId;
    conditionsDialog.selectedNo1 = first;
    conditionsDialog.selectedNo2 = second;
  }
  conditionsDialog.hostOutputPath.clear();
  if (launchedByHost == 1) conditionsDialog.hostOutputPath = hostText;
  conditionsDialog.periodStart = dataSet.periodStart;
  conditionsDialog.periodEnd = dataSet.periodEnd;
  SavedReturnMonths(savedReturn->monthRangeFirst, savedReturn->monthRangeLast,
                    &conditionsDialog.savedMonths[0], &conditionsDialog.savedMonths[1]);
  conditionsDialog.savedReturnUsable = savedReturnUsable;
  conditionsDialog.pastResultsData = dataSet.recordKind == 99 ? 1 : 0;
  for (int kind = 0; kind < 5; ++kind) {
    conditionsDialog.displayTexts[kind] = ConditionText(*this, runSettings, kind, dataSet);
  }
  conditionsDialog.filingClassCode = runSettings.filingClass;
  if (conditionsDialog.DoModal() == kDialogCancelled) {
    std::fputs("taxlink: the conditions dialog ended without a run (cancelled, or the data set"
               " was refused): result 1\n",
               stderr);
    runResult = kRunStopped;
    return FALSE_;
  }

  // Step 10.
  RunConditions conditions = conditionsDialog.GetRunConditions();
  std::strncpy(outputPath, conditions.outputPath.c_str(), sizeof(outputPath) - 1);

  // Step 11: the progress window owns every later message box of the run.
  AddTaxDlg progress(runSettings);
  progress.CreateModeless();
  HWND owner = progress.Handle();

  if (conditions.aggregationMethod == kSavedReturnValues) {
    // Step 12: the report from the saved return.
    if (WriteSavedReport(*this, owner, outputPath, dataSet) == 0) {
      savedReturn.reset();
      return FALSE_;
    }
  } else {
    // Steps 13 and 14: the figure tables.
    auto* taxSet =
        static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
    if (taxSet == nullptr) {
      std::fputs("taxlink: the host has no consumption-tax settings object: result 2\n", stderr);
      runResult = kRunFailed;
      return FALSE_;
    }
    const int32_t rateRows = taxSet->GetTaxRateCount();
    if (rateRows < 0) {
      ClMsgMgr::Inst()->CheckFatalErrorWithMsg(rateRows, -1, 1, 0);
      runResult = kRunFailed;
      return FALSE_;
    }
    tables.Allocate(static_cast<int16_t>(rateRows));

    // Steps 15 and 16.
    progress.filingClassCopy = runSettings.filingClass;
    progress.mainBusinessTypeCopy = runSettings.mainBusinessType;
    std::memset(&progress.filter, 0, sizeof(progress.filter));
    progress.BuildAggregationFilter(dataSet, conditions.startMonth, conditions.endMonth);
    StSHOHIZEIINFO settings;
    std::memset(&settings, 0, sizeof(settings));
    ReadTaxSettings(&settings, dataSet);

    // Step 17: sixth business type before 1 April 2015 under simplified taxation.
    int32_t sixthTypeCount = 0;
    int32_t code = progress.CheckSixthBusinessTypeJournals(kSixthBusinessType, &sixthTypeCount);
    if (ClMsgMgr::Inst()->CheckFatalErrorWithMsg(code, -1, 1, 0) != 0) {
      runResult = kRunFailed;
      return FALSE_;
    }
    int32_t firstDay = MonthStartDate(static_cast<int16_t>(conditions.startMonth));
    if (sixthTypeCount > 0 && settings.filingClass == 1 && firstDay < kSixthTypeFirstDate) {
      char message[1024] = {};
      std::snprintf(message, sizeof(message), kSixthTypeMessage,
                    CurrentEdition().productDisplayName);
      ShowMessage(owner, message, MB_ICONWARNING | MB_OK);
      runResult = kRunStopped;
      return FALSE_;
    }

    // Step 18: journals at the 10 % rate.
    int32_t tenPercentFound = 0;
    code = progress.CheckTenPercentJournals(&tenPercentFound);
    if (ClMsgMgr::Inst()->CheckFatalErrorWithMsg(code, -1, 1, 0) != 0) {
      runResult = kRunFailed;
      return FALSE_;
    }
    if (tenPercentFound != 0) {
      ShowMessage(owner, kTenPercentMessage, MB_ICONWARNING | MB_OK);
      runResult = kRunStopped;
      return FALSE_;
    }

    // Step 19: undetermined import tax classes (a notice only).
    if (settings.filingClass > 1 && progress.CheckImportTaxClassJournals() == 1) {
      ShowMessage(owner, kImportClassMessage, MB_ICONINFORMATION | MB_OK);
    }

    // Step 20: aggregation behind the progress window. A pass that ends on
    // a host error fails the run: figures without what it could not read
    // would reach the filing application as if they were right.
    WaitCursor waitCursor;
    auto passFailed = [&]() {
      const int32_t code = progress.hostError();
      if (code == 0) return false;
      progress.End();
      waitCursor.End();
      ClMsgMgr::Inst()->CheckFatalErrorWithMsg(code, -1, 1, owner);
      tables.Release();
      runResult = kRunFailed;
      return true;
    };
    progress.ShowWindow(true);
    waitCursor.Begin();
    progress.ResetOverall();
    progress.overallAdvance(0, 250);
    progress.SumTaxReturn(tables);
    if (passFailed()) return FALSE_;
    progress.overallAdvance(250, 500);
    progress.WalkLegacyRates(tables.legacyRateSums, settings);
    if (passFailed()) return FALSE_;
    progress.overallAdvance(500, 750);
    progress.SumCorporateRefundLines(tables, dataSet, settings);
    if (passFailed()) return FALSE_;
    progress.SumIndividualRefundLines(tables, dataSet, settings);
    if (passFailed()) return FALSE_;
    progress.overallAdvance(750, 1000);
    progress.End();

    // Step 21: the report file.
    ReportOutcome outcome = WriteReportFile(reportInputs(), owner, outputPath, dataSet, &settings);
    waitCursor.End();
    if (outcome != ReportOutcome::kWritten) {
      runResult = kRunFailed;
      return FALSE_;
    }
  }

  // Step 22: remember the conditions and say goodbye.
  conditionsDialog.SaveRememberedOutputPath(
      static_cast<int16_t>(conditions.startMonth), static_cast<int16_t>(conditions.endMonth),
      launchedByHost == 1 ? nullptr : outputPath, conditions.aggregationMethod);
  tables.Release();
  savedReturn.reset();
  ShowMessage(owner, kFinishedMessage, MB_ICONINFORMATION | MB_OK);
  return TRUE_;
}

int LinkApp::ExitInstance() {
  ClAccConnect::Inst()->LogOut();
  ClAccConnect::Inst()->Terminate();
  ClAccConnect::Inst()->Release();
  if (launchedByHost == 1) {
    platform::SetForegroundWindow(hostWindow);
    platform::EnableWindow(hostWindow, true);
    platform::PostMessage(hostWindow, static_cast<uint32_t>(hostNotifyMessage),
                          static_cast<int32_t>(functionId), runResult);
    platform::EnableWindow(hostWindow, true);
  }
  return 0;
}

}  // namespace taxlink
