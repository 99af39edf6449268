// The run: the steps from the host link to the closing message.

#include "app/RunDriver.h"

#include <cstdio>
#include <cstring>

#include "app/HostReads.h"
#include "app/SavedReturnMode.h"
#include "app/TargetCompatibility.h"
#include "host/ClAccConnect.h"
#include "host/ClDataMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSysUser.h"
#include "platform/HostWindow.h"
#include "platform/Mbcs.h"
#include "platform/PathMapping.h"
#include "platform/UserInterface.h"
#include "platform/WinFileSystem.h"
#include "report/ConditionText.h"
#include "resources/Caption.h"
#include "resources/Edition.h"

namespace taxlink {

namespace {

constexpr int32_t kUseDataType = 3;
constexpr int16_t kPastResultsRecord = 99;
constexpr char kFinishedMessage[] =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";

// The folder of the program's executable (up to its last separator).
std::string ModuleFolder() {
  std::string module = platform::GetModuleFileName();
  size_t cut = std::string::npos;
  for (size_t i = 0; i < module.size(); ++i) {
    if (module[i] == '\\' && !platform::IsTrailAt(module.c_str(), i)) cut = i;
  }
  return cut == std::string::npos ? std::string() : module.substr(0, cut + 1);
}

}  // namespace

RunDriver::RunDriver(std::string_view commandLine, HostLaunch* launch)
    : commandLine_(commandLine), launch_(*launch) {
  std::memset(&dataSet_, 0, sizeof(dataSet_));
}

RunDriver::~RunDriver() = default;

RunOutcome RunDriver::Run() {
  using Step = RunOutcome (RunDriver::*)();
  static constexpr Step kSteps[] = {
      &RunDriver::OpenHostLink,        &RunDriver::TakeHostLaunch,
      &RunDriver::MoveToProgramFolder, &RunDriver::CheckFilingApplication,
      &RunDriver::AskHostLink,         &RunDriver::ReadCompany,
      &RunDriver::AskConditions,       &RunDriver::OpenProgressWindow,
      &RunDriver::WriteReport,         &RunDriver::SayGoodbye,
  };
  for (Step step : kSteps) {
    RunOutcome outcome = (this->*step)();
    if (!outcome.goOn()) return outcome;
  }
  return RunOutcome::Written();
}

// Announces the edition and opens the host link.
RunOutcome RunDriver::OpenHostLink() {
  ClAccConnect::Inst()->caption = kMessageCaption;
  ClAccConnect::Inst()->SetAppType(CurrentEdition().appType);
  ClAccConnect::Inst()->SetUseDataType(kUseDataType);
  if (ClAccConnect::Inst()->Initiate() != 0) return RunOutcome::LinkRefused();
  return RunOutcome::GoOn();
}

// The host's launch arguments; the host window stays disabled until the
// application object exits.
RunOutcome RunDriver::TakeHostLaunch() {
  launch_ = ParseHostLaunch(commandLine_);
  if (launch_.fromHost) {
    platform::EnableWindow(launch_.window, false);
    ClAccConnect::Inst()->ownerWindow = launch_.window;
  }
  return RunOutcome::GoOn();
}

// Relative file names are looked up in the program's folder.
RunOutcome RunDriver::MoveToProgramFolder() {
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
  return RunOutcome::GoOn();
}

RunOutcome RunDriver::CheckFilingApplication() {
  if (!CheckTargetCompatibility(launch_.window, true)) return RunOutcome::Failed();
  return RunOutcome::GoOn();
}

RunOutcome RunDriver::AskHostLink() {
  const int32_t link = ClAccConnect::Inst()->ExpSysLink();
  if (link == 0) return RunOutcome::GoOn();
  return link == 1 ? RunOutcome::Stopped() : RunOutcome::Failed();
}

// The selected data set (zero-filled when not found), its consumption-tax
// settings and the saved return.
RunOutcome RunDriver::ReadCompany() {
  // A host error while reading the data set (a text of the store that cannot
  // be read, a damaged store) fails the run: a report of the zero-filled
  // record would name no company.
  const Status read = LoadSelectedDataSet(&dataSet_);
  if (read.code() == Status::Code::kHostError &&
      ClMsgMgr::Inst()->CheckFatalErrorWithMsg(read.hostCode(), -1, 1, 0) != 0) {
    return RunOutcome::Failed();
  }
  settings_ = ReadTaxSettings(dataSet_);
  savedReturn_ = std::make_unique<StSaveTaxInfo>();
  std::memset(savedReturn_.get(), 0, sizeof(StSaveTaxInfo));
  savedReturnUsable_ = LoadSavedReturn(savedReturn_.get(), dataSet_, settings_);
  return RunOutcome::GoOn();
}

RunOutcome RunDriver::AskConditions() {
  conditionsDialog_ = std::make_unique<ConditionsDialog>(launch_.fromHost ? launch_.window : 0);
  ConditionsDialog& dialog = *conditionsDialog_;
  {
    char userId[65] = {};
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    int32_t first = 0;
    int32_t second = 0;
    if (user != nullptr) {
      user->GetCurUserID(userId);
      user->GetSelectedNo(userId, &first, &second);
    }
    dialog.userId = userId;
    dialog.selectedNo1 = first;
    dialog.selectedNo2 = second;
  }
  dialog.hostOutputPath.clear();
  if (launch_.fromHost) dialog.hostOutputPath = launch_.text;
  dialog.periodStart = dataSet_.periodStart;
  dialog.periodEnd = dataSet_.periodEnd;
  // The saved months stay as the host left them when it cannot tell them.
  // Without a saved month range (nothing saved) there are none to look up,
  // and asking for the month of date 0 would only put a failure in the
  // host's error log.
  if (savedReturn_->monthRangeFirst != 0 || savedReturn_->monthRangeLast != 0) {
    SavedReturnMonths(savedReturn_->monthRangeFirst, savedReturn_->monthRangeLast,
                      &dialog.savedMonths[0], &dialog.savedMonths[1]);
  }
  dialog.savedReturnUsable = savedReturnUsable_ ? 1 : 0;
  dialog.pastResultsData = dataSet_.recordKind == kPastResultsRecord ? 1 : 0;
  for (int kind = 0; kind < 5; ++kind) {
    dialog.displayTexts[kind] = ConditionText(kind, dataSet_, settings_.record);
  }
  dialog.filingClassCode = settings_.filingClass();
  if (dialog.DoModal() == kConditionsCancelled) {
    return RunOutcome::Stopped(
        "the conditions dialog ended without a run (cancelled, or the data set was refused)");
  }
  conditions_ = dialog.GetRunConditions();
  std::strncpy(outputPath_, conditions_.outputPath.c_str(), sizeof(outputPath_) - 1);
  return RunOutcome::GoOn();
}

// The progress window, hidden until the aggregation, owns every later
// message box of the run.
RunOutcome RunDriver::OpenProgressWindow() {
  progress_ = std::make_unique<AddTaxDlg>();
  progress_->CreateModeless();
  return RunOutcome::GoOn();
}

RunOutcome RunDriver::WriteReport() {
  if (conditions_.aggregationMethod == kSavedReturnValues) {
    // A failed section the user gave up on, or a file that could not be
    // written, fails the run.
    if (!WriteSavedReport(reportInputs(), Owner(), outputPath_, dataSet_).ok()) {
      return RunOutcome::Failed();
    }
    return RunOutcome::GoOn();
  }
  journals_ = std::make_unique<JournalRun>(dataSet_, settings_, conditions_, *progress_);
  return journals_->Run(reportInputs(), outputPath_, &tables_);
}

// Remembers the conditions and says goodbye.
RunOutcome RunDriver::SayGoodbye() {
  conditionsDialog_->SaveRememberedOutputPath(
      static_cast<int16_t>(conditions_.startMonth), static_cast<int16_t>(conditions_.endMonth),
      launch_.fromHost ? nullptr : outputPath_, conditions_.aggregationMethod);
  tables_.Release();
  savedReturn_.reset();
  platform::Ui().MessageBox(Owner(), kFinishedMessage, kMessageCaption,
                            MB_ICONINFORMATION | MB_OK);
  return RunOutcome::Written();
}

}  // namespace taxlink
