// The run: the steps from the host link to the closing message.

#include "app/RunDriver.h"

#include <cstdio>
#include <cstring>

#include "app/FailedRead.h"
#include "app/HostReadSpan.h"
#include "app/HostReads.h"
#include "app/SavedReturnMode.h"
#include "app/TargetCompatibility.h"
#include "conditions/PeriodMonthRange.h"
#include "host/ClAccConnect.h"
#include "host/ClDataMgr.h"
#include "host/ClSysUser.h"
#include "platform/dialog/UserInterface.h"
#include "platform/hostwindow/HostWindow.h"
#include "platform/text/Mbcs.h"
#include "platform/ui/FrontEnd.h"
#include "platform/winfs/PathMapping.h"
#include "platform/winfs/WinFileSystem.h"
#include "report/ConditionText.h"
#include "resources/Caption.h"
#include "resources/Edition.h"
#include "resources/Texts.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

constexpr int32_t kUseDataType = 3;
constexpr int16_t kPastResultsRecord = 99;
constexpr const auto& kFinishedMessage = texts::kRunFinished;

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
    : commandLine_(commandLine), launch_(*launch), trace_(RunTrace::FromEnvironment()) {
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
      &RunDriver::WriteReport,         &RunDriver::WriteTrace,
      &RunDriver::SayGoodbye,
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
  hostReads_.emplace();
  const int32_t link = ClAccConnect::Inst()->ExpSysLink();
  if (link == 0) return RunOutcome::GoOn();
  hostReads_.reset();
  return link == 1 ? RunOutcome::Stopped() : RunOutcome::Failed();
}

// The selected data set, its consumption-tax settings, the months of its
// period and the saved return. A read that fails fails the run: a record
// left zero-filled would name no company, show an exempt company's refusal
// or take the saved return's option away.
// The company's reads share the link's host transaction, ended before any
// message.
RunOutcome RunDriver::ReadCompany() {
  Status status = LoadSelectedDataSet(&dataSet_);
  if (status.ok()) status = ReadTaxSettings(dataSet_, &settings_);
  if (status.ok()) {
    status = GetPeriodMonthRange(dataSet_.periodStart, dataSet_.periodEnd, &periodMonths_[0],
                                 &periodMonths_[1]);
  }
  if (status.ok()) {
    savedReturn_ = std::make_unique<StSaveTaxInfo>();
    std::memset(savedReturn_.get(), 0, sizeof(StSaveTaxInfo));
    status = LoadSavedReturn(savedReturn_.get(), dataSet_, settings_, &savedReturnUsable_);
  }
  if (!status.ok()) {
    hostReads_.reset();
    return FailedRead(status, 0);
  }
  return RunOutcome::GoOn();
}

RunOutcome RunDriver::AskConditions() {
  conditionsDialog_ = std::make_unique<ConditionsDialog>(launch_.fromHost ? launch_.window : 0);
  ConditionsDialog& dialog = *conditionsDialog_;
  {
    // The remembered path belongs to the user and the selection: a record
    // under an id that could not be read would be another user's.
    char userId[65] = {};
    int32_t first = 0;
    int32_t second = 0;
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    Status status = user != nullptr
                        ? HostCallResult(user->GetCurUserID(userId), "ClSysUser::GetCurUserID")
                        : Status::Missing("no user object", "ClDataMgr::GetSysUserObject");
    if (status.ok()) {
      status =
          HostCallResult(user->GetSelectedNo(userId, &first, &second), "ClSysUser::GetSelectedNo");
    }
    if (!status.ok()) {
      hostReads_.reset();
      return FailedRead(status, 0);
    }
    dialog.userId = userId;
    userId_ = userId;
    dialog.selectedNo1 = first;
    dialog.selectedNo2 = second;
  }
  dialog.hostOutputPath.clear();
  if (launch_.fromHost) dialog.hostOutputPath = launch_.text;
  dialog.periodStart = dataSet_.periodStart;
  dialog.periodEnd = dataSet_.periodEnd;
  dialog.periodMonths[0] = periodMonths_[0];
  dialog.periodMonths[1] = periodMonths_[1];
  // The saved months are shown only with a saved return the dialog offers;
  // the host cannot tell them for one that is not usable (nothing saved).
  // Without a saved month range there are none to look up, and asking for
  // the month of date 0 would only put a failure in the host's error log.
  if (savedReturn_->monthRangeFirst != 0 || savedReturn_->monthRangeLast != 0) {
    Status months = SavedReturnMonths(savedReturn_->monthRangeFirst, savedReturn_->monthRangeLast,
                                      &dialog.savedMonths[0], &dialog.savedMonths[1]);
    if (savedReturnUsable_ && !months.ok()) {
      hostReads_.reset();
      return FailedRead(months, 0);
    }
  }
  dialog.savedReturnUsable = savedReturnUsable_ ? 1 : 0;
  dialog.pastResultsData = dataSet_.recordKind == kPastResultsRecord ? 1 : 0;
  for (int kind = 0; kind < 5; ++kind) {
    dialog.displayTexts[kind] = ConditionText(kind, dataSet_, settings_.record);
  }
  dialog.filingClassCode = settings_.filingClass();
  // The dialog waits on the user: no transaction stays open under it.
  hostReads_.reset();
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
  if (trace_) {
    RunOutcome started = trace_->Start(settings_.taxIncluded(), dataSet_, TraceRunOf());
    if (!started.goOn()) return started;
  }
  journals_ = std::make_unique<JournalRun>(dataSet_, settings_, conditions_, *progress_);
  return journals_->Run(reportInputs(), outputPath_, &tables_,
                        trace_ ? trace_->recorder() : nullptr);
}

// The trace beside the written report; a trace asked for and not written
// fails the run (the report stays).
RunOutcome RunDriver::WriteTrace() {
  if (!trace_) return RunOutcome::GoOn();
  return trace_->Write(reportInputs(), dataSet_, TraceRunOf(), outputPath_);
}

TraceRun RunDriver::TraceRunOf() const {
  TraceRun run;
  run.startMonth = conditions_.startMonth;
  run.endMonth = conditions_.endMonth;
  run.savedReturn = conditions_.aggregationMethod == kSavedReturnValues;
  run.user = userId_;
  return run;
}

// Remembers the conditions and says goodbye.
RunOutcome RunDriver::SayGoodbye() {
  conditionsDialog_->SaveRememberedOutputPath(
      static_cast<int16_t>(conditions_.startMonth), static_cast<int16_t>(conditions_.endMonth),
      launch_.fromHost ? nullptr : outputPath_, conditions_.aggregationMethod);
  tables_.Release();
  savedReturn_.reset();
  platform::Ui().MessageBox(Owner(), kFinishedMessage, kMessageCaption, MB_ICONINFORMATION | MB_OK);
  return RunOutcome::Written();
}

}  // namespace taxlink
