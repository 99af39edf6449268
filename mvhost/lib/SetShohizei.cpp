#include "mvhost/lib/SetShohizei.h"
#include "mvhost/lib/ReadScope.h"

#include <cstring>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t SetShohizei::AttachSetMgr(ClSetMgr* setMgr) {
  setMgr_ = setMgr;
  return 0;
}

int32_t SetShohizei::SetCurDataID(const char* dataId) { return binding_.Bind(dataId); }

int32_t SetShohizei::Get(StSHOHIZEIINFO* out) {
  if (out == nullptr) return kErrBadArgument;
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  SqlStatement stmt;
  status = stmt.Prepare(db,
                        "SELECT filing_class, rounding_mode, credit_method, main_business_type, "
                        "tax_included FROM data_set WHERE data_no = ?",
                        "read the tax settings");
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
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  // The data set must still be there: a store that cannot be read is an
  // error, not a table of no rows.
  int64_t found = 0;
  status = QueryInt(db, "find the data set of the tax settings",
                    "SELECT COUNT(*) FROM data_set WHERE data_no = ?", {dataNo}, &found);
  if (status != 0) return status;
  if (found == 0) return kErrNoDataSet;
  return static_cast<int32_t>(kTaxRateRows) + 1;
}

}  // namespace mvhost
