#ifndef TAXLINK_APP_JOURNALRUN_H_
#define TAXLINK_APP_JOURNALRUN_H_

#include <memory>

#include "aggregation/AddTaxDlg.h"
#include "aggregation/AggregationEngine.h"
#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "app/RunOutcome.h"
#include "conditions/RunConditions.h"
#include "host/StDATAINFO.h"
#include "report/ReportInputs.h"

namespace taxlink {

class HostReadSpan;
class TraceRecorder;

// The steps of a run by journals: the settings object and rate rows, the
// pre-checks, the aggregation behind the progress window and the report.
// The engine, and the host rule objects it keeps, live as long as this.
class JournalRun {
 public:
  JournalRun(const StDATAINFO& dataSet, const TaxSettings& settings,
             const RunConditions& conditions, AddTaxDlg& progress);

  // Fills *tables and writes the report at outputPath; inputs refer to
  // *tables. Goes on when the report was written.
  // recorder, when given, takes the contributions of every figure.
  RunOutcome Run(const ReportInputs& inputs, const char* outputPath, TaxSummaryTables* tables,
                 TraceRecorder* recorder = nullptr);

 private:
  RunOutcome CheckTaxSettings();
  RunOutcome CheckJournals(HostReadSpan& span);
  RunOutcome WriteReport(const ReportInputs& inputs, const char* outputPath);
  int ShowMessage(const char* text, uint32_t style);

  const StDATAINFO& dataSet_;
  const TaxSettings& settings_;
  const RunConditions& conditions_;
  AddTaxDlg& progress_;
  std::unique_ptr<AggregationEngine> engine_;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_JOURNALRUN_H_
