#include "host/ClRuleBase.h"

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/RuleContext.h"

ClRuleBase::ClRuleBase() : context_(new Context) {}

ClRuleBase::~ClRuleBase() { delete context_; }

int32_t ClRuleBase::AttachSetMgr(ClSetMgr* setMgr) {
  MVHOST_FAULT_POINT("ClRuleBase::AttachSetMgr");
  if (setMgr == nullptr) return mvhost::kErrBadArgument;
  context_->setMgr = setMgr;
  return 0;
}

int32_t ClRuleBase::SetCurDataID(const char* dataId) {
  MVHOST_FAULT_POINT("ClRuleBase::SetCurDataID");
  return context_->data.Bind(dataId);
}

int32_t ClRuleBase::AttachOptLink(ClOptLink* optLink) {
  MVHOST_FAULT_POINT("ClRuleBase::AttachOptLink");
  if (optLink == nullptr) return mvhost::kErrBadArgument;
  context_->optLink = optLink;
  return 0;
}
