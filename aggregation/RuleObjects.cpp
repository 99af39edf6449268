#include "aggregation/RuleObjects.h"

#include <cstring>

#include "host/ClDataMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClSetData.h"
#include "host/StDATAINFO.h"
#include "status/HostResult.h"

namespace taxlink {

Status PrepareRuleObject(ClRuleBase* rule) {
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return Status::Missing("no set manager", "ClDataMgr::GetSetMgr");
  Status status = HostCallResult(rule->AttachSetMgr(setMgr), "ClRuleBase::AttachSetMgr");
  if (!status.ok()) return status;

  auto* dataSets = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets == nullptr) return Status::Missing("no data sets", "ClDataMgr::GetSetObject");
  StDATAINFO selected;
  std::memset(&selected, 0, sizeof(selected));
  status = HostCallResult(dataSets->GetSelectedInfo(&selected), "ClSetData::GetSelectedInfo");
  if (!status.ok()) return status;
  // The id field need not be terminated; hand over a terminated copy.
  char dataId[sizeof(selected.dataId) + 1] = {};
  std::memcpy(dataId, selected.dataId, sizeof(selected.dataId));
  status = HostCallResult(rule->SetCurDataID(dataId), "ClRuleBase::SetCurDataID");
  if (!status.ok()) return status;

  ClOptLink* options = ClLinkMgr::Inst()->GetOptLink();
  if (options == nullptr) return Status::Missing("no link options", "ClLinkMgr::GetOptLink");
  return HostCallResult(rule->AttachOptLink(options), "ClRuleBase::AttachOptLink");
}

}  // namespace taxlink
