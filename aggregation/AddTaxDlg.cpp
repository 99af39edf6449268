#include "aggregation/AddTaxDlg.h"

#include "aggregation/AggregationEngine.h"

namespace taxlink {

Status AddTaxDlg::RunEngine(AggregationEngine& engine, TaxSummaryTables* tables, FigureTrace* trace,
                            TaxLineSink* lines) {
  ResetOverall();
  Status status = engine.Run(*this, tables, trace, lines);
  End();
  return status;
}

}  // namespace taxlink
