#include "aggregation/AddTaxDlg.h"

#include "aggregation/AggregationEngine.h"

namespace taxlink {

Status AddTaxDlg::RunEngine(AggregationEngine& engine, TaxSummaryTables* tables) {
  ResetOverall();
  Status status = engine.Run(*this, tables);
  End();
  return status;
}

}  // namespace taxlink
