#ifndef TAXLINK_TESTS_HOSTS_FAULTOBJECTS_H_
#define TAXLINK_TESTS_HOSTS_FAULTOBJECTS_H_

#include "host/Host.h"

class ClSetBase;
class ClSetMgr;
class ClSysUser;

namespace hosts {

class FaultHost;

// Wrappers of the objects a host creates, which own the inner object
// (FaultRules.cpp).
ClAccPeriod::Impl* WrapPeriod(FaultHost& host, ClAccPeriod::Impl* inner);
ClSaveTaxShiryo::Impl* WrapSavedReturn(FaultHost& host, ClSaveTaxShiryo::Impl* inner);
ClRuleShiwake::Impl* WrapRule(FaultHost& host, ClRuleShiwake::Impl* inner);
ClRuleKamoku::Impl* WrapRule(FaultHost& host, ClRuleKamoku::Impl* inner);
ClRuleShohizei::Impl* WrapRule(FaultHost& host, ClRuleShohizei::Impl* inner);
ClRuleShohizeiShinkoku::Impl* WrapRule(FaultHost& host, ClRuleShohizeiShinkoku::Impl* inner);
ClRuleGenkashokyaku::Impl* WrapRule(FaultHost& host, ClRuleGenkashokyaku::Impl* inner);

// Wrappers of the host's shared objects, which do not own the inner one
// (FaultSets.cpp); null for an unknown kind of set object.
ClSetBase* NewSetWrapper(FaultHost& host, ClSetBase* inner);
ClSetMgr* NewSetMgrWrapper(FaultHost& host, ClSetMgr* inner);
ClSysUser* NewUserWrapper(FaultHost& host, ClSysUser* inner);

}  // namespace hosts

// Returns the injected code of the point from the calling method.
#define HOSTS_FAULT(faults, point)                                             \
  do {                                                                         \
    if (auto code_ = (faults).Find(::hosts::FaultPoint::point)) return *code_; \
  } while (0)

#endif  // TAXLINK_TESTS_HOSTS_FAULTOBJECTS_H_
