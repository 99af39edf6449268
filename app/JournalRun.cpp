#include "app/JournalRun.h"

#include <cstdio>
#include <memory>

#include "aggregation/JournalPreChecks.h"
#include "app/FailedRead.h"
#include "app/HostReadSpan.h"
#include "app/HostReads.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "report/ReportFile.h"
#include "resources/Caption.h"
#include "resources/Edition.h"
#include "resources/Texts.h"
#include "trace/TraceRecorder.h"

namespace taxlink {

namespace {

constexpr int32_t kSixthBusinessType = 6;
constexpr int32_t kSixthTypeFirstDate = 20150401;

constexpr const auto& kSixthTypeMessage = texts::kSixthBusinessTypeFound;
constexpr const auto& kTenPercentMessage = texts::kTenPercentFound;
constexpr const auto& kImportClassMessage = texts::kUndeterminedImportClasses;

// The host judges a pre-check's code, also 0, and shows its message for a
// fatal one; the run goes on after a code it passes over. A failure that
// carries no host code ends the run as well.
RunOutcome JudgedPreCheck(const Status& status) {
  if (HostJudgesFatal(status, 0)) return RunOutcome::Failed();
  if (!status.ok() && status.hostCode() == 0) return RunOutcome::Failed(status.ToString());
  return RunOutcome::GoOn();
}

// The wait cursor of the aggregation and the report; ended on every exit.
class WaitCursor {
 public:
  WaitCursor() { platform::Ui().BeginWaitCursor(); }
  ~WaitCursor() { End(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  void End() {
    if (active_) platform::Ui().EndWaitCursor();
    active_ = false;
  }

 private:
  bool active_ = true;
};

}  // namespace

JournalRun::JournalRun(const StDATAINFO& dataSet, const TaxSettings& settings,
                       const RunConditions& conditions, AddTaxDlg& progress)
    : dataSet_(dataSet), settings_(settings), conditions_(conditions), progress_(progress) {}

int JournalRun::ShowMessage(const char* text, uint32_t style) {
  return platform::Ui().MessageBox(progress_.Handle(), text, kMessageCaption, style);
}

RunOutcome JournalRun::Run(const ReportInputs& inputs, const char* outputPath,
                           TaxSummaryTables* tables, TraceRecorder* recorder) {
  // The checks and the passes wait on no one: the host may read them in one
  // transaction, ended before any message and begun again after it.
  HostReadSpan span;
  RunOutcome outcome = CheckTaxSettings();
  if (outcome.goOn()) outcome = CheckJournals(span);
  if (!outcome.goOn()) return outcome;

  // The wait cursor spans the aggregation and the report.
  progress_.ShowWindow(true);
  WaitCursor waitCursor;
  span.Resume();
  const Status aggregated = progress_.RunEngine(*engine_, tables, recorder, recorder);
  span.End();
  if (!aggregated.ok()) {
    // A pass that ends on a host error fails the run: figures without what
    // it could not read would reach the filing application as if they were
    // right.
    waitCursor.End();
    return FailedRead(aggregated, progress_.Handle());
  }
  outcome = WriteReport(inputs, outputPath);
  waitCursor.End();
  return outcome;
}

// The figure tables need the settings object and its rate rows (read with
// the company; a run without them has failed before).
RunOutcome JournalRun::CheckTaxSettings() {
  if (!settings_.setObjectFound) {
    return RunOutcome::Failed("the host has no consumption-tax settings object");
  }
  return RunOutcome::GoOn();
}

// Sixth business type before 1 April 2015 under simplified taxation and the
// 10 % rate stop the run; undetermined import tax classes are announced. The
// checks' reads share the run's host transaction, ended before any message.
RunOutcome JournalRun::CheckJournals(HostReadSpan& span) {
  engine_ = std::make_unique<AggregationEngine>(dataSet_, conditions_.startMonth,
                                                conditions_.endMonth, settings_);
  if (!engine_->filterStatus().ok()) {
    span.End();
    return FailedRead(engine_->filterStatus(), 0);
  }
  JournalPreChecks checks(engine_->filter());

  int32_t sixthTypeCount = 0;
  Status sixthType = checks.CheckSixthBusinessTypeJournals(kSixthBusinessType, &sixthTypeCount);
  if (!sixthType.ok()) span.End();
  RunOutcome outcome = JudgedPreCheck(sixthType);
  if (!outcome.goOn()) return outcome;
  if (sixthTypeCount > 0 && settings_.filingClass() == 1) {
    int32_t firstDay = 0;
    Status status = MonthStartDate(static_cast<int16_t>(conditions_.startMonth), &firstDay);
    if (!status.ok() || firstDay < kSixthTypeFirstDate) span.End();
    // A date the host cannot tell would refuse the run as if it were early.
    if (!status.ok()) return FailedRead(status, 0);
    if (firstDay < kSixthTypeFirstDate) {
      char message[1024] = {};
      std::snprintf(message, sizeof(message), kSixthTypeMessage,
                    CurrentEdition().productDisplayName);
      ShowMessage(message, MB_ICONWARNING | MB_OK);
      return RunOutcome::Stopped();
    }
  }

  int32_t tenPercentFound = 0;
  Status tenPercent = checks.CheckTenPercentJournals(&tenPercentFound);
  if (!tenPercent.ok() || tenPercentFound != 0) span.End();
  outcome = JudgedPreCheck(tenPercent);
  if (!outcome.goOn()) return outcome;
  if (tenPercentFound != 0) {
    ShowMessage(kTenPercentMessage, MB_ICONWARNING | MB_OK);
    return RunOutcome::Stopped();
  }

  if (settings_.filingClass() > 1) {
    bool importClassesFound = false;
    Status status = checks.CheckImportTaxClassJournals(&importClassesFound);
    if (!status.ok() || importClassesFound) span.End();
    if (!status.ok()) return FailedRead(status, 0);
    if (importClassesFound) ShowMessage(kImportClassMessage, MB_ICONINFORMATION | MB_OK);
  }
  return RunOutcome::GoOn();
}

RunOutcome JournalRun::WriteReport(const ReportInputs& inputs, const char* outputPath) {
  // A failed section the user gave up on, or a file that could not be
  // written, fails the run.
  Status status =
      WriteReportFile(inputs, progress_.Handle(), outputPath, dataSet_, ReportSource::kJournals);
  return status.ok() ? RunOutcome::GoOn() : RunOutcome::Failed();
}

}  // namespace taxlink
