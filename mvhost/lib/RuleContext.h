#ifndef TAXLINK_MVHOST_RULECONTEXT_H_
#define TAXLINK_MVHOST_RULECONTEXT_H_

#include <sqlite3.h>

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/ClSaveTaxShiryo.h"
#include "mvhost/lib/HostSession.h"

class ClOptLink;
class ClSetMgr;

namespace mvhost {

// What a rule object or saved-data reader is prepared with.
struct RuleBinding {
  ClSetMgr* setMgr = nullptr;
  ClOptLink* optLink = nullptr;
  DataBinding data;

  int32_t Resolve(sqlite3** db, int32_t* dataNo) const { return data.Resolve(db, dataNo); }
};

}  // namespace mvhost

struct ClRuleBase::Context : mvhost::RuleBinding {};
struct ClSaveBase::Context : mvhost::RuleBinding {};

// Class-specific allocation of the host's objects: creation fails (null, or
// std::bad_alloc from the throwing form) when fault injection names the class.
#define MVHOST_DEFINE_HOST_NEW(ClassName)                                        \
  void* ClassName::operator new(std::size_t size, const std::nothrow_t&) noexcept { \
    if (::mvhost::FaultInjection::CreationFails(#ClassName)) return nullptr;     \
    return ::operator new(size, std::nothrow);                                   \
  }                                                                              \
  void* ClassName::operator new(std::size_t size) {                              \
    if (::mvhost::FaultInjection::CreationFails(#ClassName)) throw std::bad_alloc(); \
    return ::operator new(size);                                                 \
  }                                                                              \
  void ClassName::operator delete(void* p) noexcept { ::operator delete(p); }

#endif  // TAXLINK_MVHOST_RULECONTEXT_H_
