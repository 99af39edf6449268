#include "aggregation/AccountingPeriod.h"

#include "host/ClDataMgr.h"
#include "host/ClSetData.h"
#include "host/ClSetMgr.h"
#include "status/HostResult.h"

namespace taxlink {

Status AccountingPeriodOf(ClSetData* dataSets, std::unique_ptr<ClAccPeriod>* period) {
  ClAccPeriod* object = nullptr;
  Status status = HostCallResult(dataSets->GetAccPeriod(&object), "ClSetData::GetAccPeriod");
  period->reset(object);
  if (status.ok() && !*period) {
    status = Status::Missing("no period object", "ClSetData::GetAccPeriod");
  }
  if (!status.ok()) period->reset();
  return status;
}

Status AccountingPeriodOfSetManager(std::unique_ptr<ClAccPeriod>* period) {
  period->reset();
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return Status::Missing("no set manager", "ClDataMgr::GetSetMgr");
  auto* dataSets = dynamic_cast<ClSetData*>(setMgr->GetSetObject(kSetKindDataSets, 1));
  if (dataSets == nullptr) return Status::Missing("no data sets", "ClSetMgr::GetSetObject");
  return AccountingPeriodOf(dataSets, period);
}

}  // namespace taxlink
