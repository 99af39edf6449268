#include "aggregation/TaxSettings.h"

#include <cstring>
#include <string>

#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "status/HostResult.h"

namespace taxlink {

Status ReadTaxSettings(const StDATAINFO& dataSet, TaxSettings* out) {
  *out = TaxSettings();
  auto* taxSet =
      static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  if (taxSet == nullptr) {
    return Status::Missing("no consumption-tax settings object", "ClDataMgr::GetSetObject");
  }
  out->setObjectFound = true;
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return Status::Missing("no set manager", "ClDataMgr::GetSetMgr");
  Status status = HostCallResult(taxSet->AttachSetMgr(setMgr), "ClSetShohizei::AttachSetMgr");
  if (!status.ok()) return status;
  // The id field need not be terminated; hand over a terminated copy.
  char dataId[sizeof(dataSet.dataId) + 1] = {};
  std::memcpy(dataId, dataSet.dataId, sizeof(dataSet.dataId));
  status = HostCallResult(taxSet->SetCurDataID(dataId), "ClSetShohizei::SetCurDataID");
  if (!status.ok()) return status;

  StSHOHIZEIINFO record;
  std::memset(&record, 0, sizeof(record));
  status = HostCallResult(taxSet->Get(&record), "ClSetShohizei::Get");
  if (!status.ok()) return status;
  out->record = record;

  const int32_t count = taxSet->GetTaxRateCount();
  status = HostCountResult(count, "ClSetShohizei::GetTaxRateCount");
  if (!status.ok()) return status;
  if (count < kMinRateRows || count > kMaxRateRows) {
    return Status::Missing("the host reports " + std::to_string(count) + " rate rows (" +
                               std::to_string(kMinRateRows) + " to " +
                               std::to_string(kMaxRateRows) + " expected)",
                           "ClSetShohizei::GetTaxRateCount");
  }
  out->rateCount = count;
  return Status::OK();
}

}  // namespace taxlink
