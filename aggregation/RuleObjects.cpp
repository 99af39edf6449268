#include "aggregation/RuleObjects.h"

#include <cstring>

#include "host/ClDataMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClSetData.h"
#include "host/StDATAINFO.h"

namespace taxlink {

void PrepareRuleObject(ClRuleBase* rule) {
  rule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());

  StDATAINFO selected;
  std::memset(&selected, 0, sizeof(selected));
  auto* dataSets = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets != nullptr) dataSets->GetSelectedInfo(&selected);
  // The id field need not be terminated; hand over a terminated copy.
  char dataId[sizeof(selected.dataId) + 1] = {};
  std::memcpy(dataId, selected.dataId, sizeof(selected.dataId));
  rule->SetCurDataID(dataId);

  rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
}

}  // namespace taxlink
