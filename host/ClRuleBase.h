#ifndef TAXLINK_HOST_CLRULEBASE_H_
#define TAXLINK_HOST_CLRULEBASE_H_

#include <cstdint>

class ClSetMgr;
class ClOptLink;

// Base of the host's rule objects (queries and summations). A rule object is
// created by the program with new (std::nothrow) and deleted through this
// virtual destructor; it is prepared with AttachSetMgr, SetCurDataID and
// AttachOptLink before its first query.
class ClRuleBase {
 public:
  virtual ~ClRuleBase();
  ClRuleBase(const ClRuleBase&) = delete;
  ClRuleBase& operator=(const ClRuleBase&) = delete;

  int32_t AttachSetMgr(ClSetMgr* setMgr);
  int32_t SetCurDataID(const char* dataId);
  int32_t AttachOptLink(ClOptLink* optLink);

  struct Context;

 protected:
  ClRuleBase();
  Context* context_;
};

#endif  // TAXLINK_HOST_CLRULEBASE_H_
