#ifndef TAXLINK_AGGREGATION_ADDTAXDLG_H_
#define TAXLINK_AGGREGATION_ADDTAXDLG_H_

#include <cstdint>

#include "aggregation/ProgressDialog.h"
#include "aggregation/ProgressSink.h"
#include "host/TaxLineTrace.h"
#include "platform/text/WinTypes.h"
#include "status/Status.h"

namespace taxlink {

class AggregationEngine;
class FigureTrace;
struct TaxSummaryTables;

// The progress window (dialog 131) that runs the journal aggregation and
// shows its progress. Created hidden at the start of a run, its window owns
// the run's message boxes in both aggregation methods.
class AddTaxDlg : public ProgressSink, public ProgressDialog {
 public:
  explicit AddTaxDlg(HWND parent = 0) : ProgressDialog(parent) {}

  // Runs the engine behind the window (shown by the caller): the overall bar
  // from 0, the passes, and the window ended (hidden) whatever the outcome.
  // trace and lines, when given, receive the contributions (Run).
  Status RunEngine(AggregationEngine& engine, TaxSummaryTables* tables,
                   FigureTrace* trace = nullptr, TaxLineSink* lines = nullptr);

  // ProgressSink: the bars of the window.
  void OverallAdvance(int16_t from, int16_t to) final { overallAdvance(from, to); }
  void DetailReset() final { ResetDetail(); }
  void DetailComplete() final { CompleteDetail(); }
  void DetailSweep() final { detailSweep(); }
  void DetailSweeps(uint64_t count) final { detailSweeps(count); }
  void DetailTick() final { detailTick(); }
  void DetailTicks(uint64_t count) final { detailTicks(count); }
  void DetailTicksEach(uint64_t perRecord, uint64_t records) final {
    detailTicksEach(perRecord, records);
  }
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ADDTAXDLG_H_
