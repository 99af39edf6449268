#include "aggregation/TaxSettings.h"

#include <cstring>

#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "status/HostResult.h"

namespace taxlink {

TaxSettings ReadTaxSettings(const StDATAINFO& dataSet) {
  TaxSettings settings;
  auto* taxSet =
      static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  if (taxSet == nullptr) {
    settings.recordRead =
        Status::Missing("no consumption-tax settings object", "ClDataMgr::GetSetObject");
    settings.rateCountRead = settings.recordRead;
    return settings;
  }
  settings.setObjectFound = true;
  taxSet->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  // The id field need not be terminated; hand over a terminated copy.
  char dataId[sizeof(dataSet.dataId) + 1] = {};
  std::memcpy(dataId, dataSet.dataId, sizeof(dataSet.dataId));
  taxSet->SetCurDataID(dataId);

  StSHOHIZEIINFO record;
  std::memset(&record, 0, sizeof(record));
  // Any answer but 0 leaves the record zero-filled.
  settings.recordRead = HostResult(taxSet->Get(&record), "ClSetShohizei::Get");
  if (settings.recordRead.ok()) settings.record = record;

  settings.rateCount = taxSet->GetTaxRateCount();
  settings.rateCountRead = HostCountResult(settings.rateCount, "ClSetShohizei::GetTaxRateCount");
  return settings;
}

}  // namespace taxlink
