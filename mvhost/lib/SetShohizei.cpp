#include "mvhost/lib/SetShohizei.h"

#include <cstring>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t SetShohizei::RatesOf(sqlite3* db, int32_t dataNo, std::vector<int32_t>* rates) {
  rates->clear();
  SqlStatement stmt;
  int32_t status = stmt.Prepare(db, "SELECT rate FROM tax_rate WHERE data_no = ? ORDER BY row_no");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) rates->push_back(static_cast<int32_t>(stmt.Int(0)));
  if (step < 0) return step;
  if (rates->empty()) *rates = {800, 500, 300};
  return 0;
}

int32_t SetShohizei::AttachSetMgr(ClSetMgr* setMgr) {
  MVHOST_FAULT_POINT("ClSetShohizei::AttachSetMgr");
  setMgr_ = setMgr;
  return 0;
}

int32_t SetShohizei::SetCurDataID(const char* dataId) {
  MVHOST_FAULT_POINT("ClSetShohizei::SetCurDataID");
  return binding_.Bind(dataId);
}

int32_t SetShohizei::Get(StSHOHIZEIINFO* out) {
  MVHOST_FAULT_POINT("ClSetShohizei::Get");
  if (out == nullptr) return kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo);
  if (status != 0) return status;
  SqlStatement stmt;
  status = stmt.Prepare(db,
                        "SELECT filing_class, rounding_mode, credit_method, main_business_type, "
                        "tax_included FROM data_set WHERE data_no = ?");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kErrNoDataSet;
  std::memset(out, 0, sizeof(*out));
  out->filingClass = static_cast<uint8_t>(stmt.Int(0));
  out->roundingMode = static_cast<uint8_t>(stmt.Int(1));
  out->creditMethod = static_cast<uint8_t>(stmt.Int(2));
  out->mainBusinessType = static_cast<uint8_t>(stmt.Int(3));
  out->taxIncluded = stmt.Int(4) != 0 ? 1 : 0;
  return 0;
}

int32_t SetShohizei::GetTaxRateCount() {
  MVHOST_FAULT_POINT("ClSetShohizei::GetTaxRateCount");
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  if (binding_.Resolve(&db, &dataNo) != 0) return 0;
  std::vector<int32_t> rates;
  if (RatesOf(db, dataNo, &rates) != 0) return 0;
  return static_cast<int32_t>(rates.size()) + 1;
}

}  // namespace mvhost
