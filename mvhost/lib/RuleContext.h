#ifndef TAXLINK_MVHOST_RULECONTEXT_H_
#define TAXLINK_MVHOST_RULECONTEXT_H_

#include <sqlite3.h>

#include <cstdint>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostSession.h"

class ClOptLink;
class ClSetMgr;

namespace mvhost {

// What a rule object or saved-data reader is prepared with.
struct RuleBinding {
  ClSetMgr* setMgr = nullptr;
  ClOptLink* optLink = nullptr;
  DataBinding data;

  int32_t Resolve(sqlite3** db, int32_t* dataNo, ReadScope* scope = nullptr) const {
    return data.Resolve(db, dataNo, scope);
  }
};

// The preparation calls every rule object and saved-data reader shares
// (Interface: ClRuleBase::Impl or ClSaveBase::Impl and their kinds).
template <class Interface>
class BoundObject : public Interface {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override {
    if (setMgr == nullptr) return kErrBadArgument;
    context_.setMgr = setMgr;
    return 0;
  }
  int32_t SetCurDataID(const char* dataId) override { return context_.data.Bind(dataId); }
  int32_t AttachOptLink(ClOptLink* optLink) override {
    if (optLink == nullptr) return kErrBadArgument;
    context_.optLink = optLink;
    return 0;
  }

 protected:
  RuleBinding context_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_RULECONTEXT_H_
