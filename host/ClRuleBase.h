#ifndef TAXLINK_HOST_CLRULEBASE_H_
#define TAXLINK_HOST_CLRULEBASE_H_

#include <cstdint>

#include "host/HostObject.h"

class ClSetMgr;
class ClOptLink;

// Base of the host's rule objects (queries and summations). A rule object is
// created by the program with new (std::nothrow) and deleted through this
// virtual destructor; it is prepared with AttachSetMgr, SetCurDataID and
// AttachOptLink before its first query. Its work is done by an
// implementation the registered host created for it (host/Host.h).
class ClRuleBase {
 public:
  // What a host implements behind every rule object.
  class Impl : public host::HostObject {
   public:
    virtual int32_t AttachSetMgr(ClSetMgr* setMgr) = 0;
    virtual int32_t SetCurDataID(const char* dataId) = 0;
    virtual int32_t AttachOptLink(ClOptLink* optLink) = 0;
  };

  virtual ~ClRuleBase();
  ClRuleBase(const ClRuleBase&) = delete;
  ClRuleBase& operator=(const ClRuleBase&) = delete;

  int32_t AttachSetMgr(ClSetMgr* setMgr) { return impl_->AttachSetMgr(setMgr); }
  int32_t SetCurDataID(const char* dataId) { return impl_->SetCurDataID(dataId); }
  int32_t AttachOptLink(ClOptLink* optLink) { return impl_->AttachOptLink(optLink); }

 protected:
  // Takes ownership of impl (never null).
  explicit ClRuleBase(Impl* impl) : impl_(impl) {}
  Impl* impl_;
};

#endif  // TAXLINK_HOST_CLRULEBASE_H_
