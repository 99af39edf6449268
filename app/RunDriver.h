#ifndef TAXLINK_APP_RUNDRIVER_H_
#define TAXLINK_APP_RUNDRIVER_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "aggregation/AddTaxDlg.h"
#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "app/HostLaunch.h"
#include "app/HostReadSpan.h"
#include "app/JournalRun.h"
#include "app/RunOutcome.h"
#include "app/RunTrace.h"
#include "conditions/ConditionsDialog.h"
#include "conditions/PathText.h"
#include "conditions/RunConditions.h"
#include "host/StDATAINFO.h"
#include "host/StSaveTaxInfo.h"
#include "report/ReportInputs.h"

namespace taxlink {

// One run from the host link to the closing message, as a sequence of steps.
// Each step ends with a RunOutcome: the run goes on, or it is over (written,
// stopped or failed); the application object turns the last one into
// runResult. The driver owns the run's working records, its dialogs and its
// figures; all are released when it is destroyed.
class RunDriver {
 public:
  // launch receives the host's launch values as soon as they are read, so
  // that the host is notified at exit even when an exception ends the run.
  RunDriver(std::string_view commandLine, HostLaunch* launch);
  ~RunDriver();
  RunDriver(const RunDriver&) = delete;
  RunDriver& operator=(const RunDriver&) = delete;

  RunOutcome Run();

 private:
  RunOutcome OpenHostLink();
  RunOutcome TakeHostLaunch();
  RunOutcome MoveToProgramFolder();
  RunOutcome CheckFilingApplication();
  RunOutcome AskHostLink();
  RunOutcome ReadCompany();
  RunOutcome AskConditions();
  RunOutcome OpenProgressWindow();
  RunOutcome WriteReport();
  RunOutcome WriteTrace();
  RunOutcome SayGoodbye();
  // What the trace's header says of this run.
  TraceRun TraceRunOf() const;

  HWND Owner() const { return progress_ ? progress_->Handle() : HWND{0}; }
  ReportInputs reportInputs() const {
    return ReportInputs{tables_, settings_, savedReturn_.get(), launch_.functionId};
  }

  std::string commandLine_;
  HostLaunch& launch_;
  StDATAINFO dataSet_;
  TaxSettings settings_;
  int16_t periodMonths_[2] = {0, 0};
  std::unique_ptr<StSaveTaxInfo> savedReturn_;
  bool savedReturnUsable_ = false;
  std::unique_ptr<ConditionsDialog> conditionsDialog_;
  RunConditions conditions_;
  char outputPath_[kPathBufferSize] = {};
  // The progress window owns every message box from the conditions on.
  std::unique_ptr<AddTaxDlg> progress_;
  // The journal steps, and the host objects they keep, until the run ends.
  std::unique_ptr<JournalRun> journals_;
  TaxSummaryTables tables_;
  // The trace of the run, when one was asked for.
  std::unique_ptr<RunTrace> trace_;
  std::string userId_;
  // The reads from the link's check to the conditions dialog share one host
  // transaction: no step between them waits on the user.
  std::optional<HostReadSpan> hostReads_;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_RUNDRIVER_H_
