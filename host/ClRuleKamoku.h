#ifndef TAXLINK_HOST_CLRULEKAMOKU_H_
#define TAXLINK_HOST_CLRULEKAMOKU_H_

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/StBUMONINFO.h"
#include "host/StFINDINFO.h"
#include "host/StKAMOKUSUMINFO.h"

// Account sums per month kind.
class ClRuleKamoku : public ClRuleBase {
 public:
  class Impl : public ClRuleBase::Impl {
   public:
    virtual int32_t MoveReady(int32_t baseSumType, int32_t deptSumType, int32_t displayType,
                              const StFINDINFO* filter, const StBUMONINFO* department,
                              int32_t pastType) = 0;
    virtual int32_t GetSumCount(int32_t* count) = 0;
    virtual int32_t SetMovePos(int32_t position) = 0;
    virtual int32_t MoveNext(StKAMOKUSUMINFO* out) = 0;
    virtual int32_t MoveFinish() = 0;
  };

  ClRuleKamoku();
  ~ClRuleKamoku() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  // Prepares the account sums (one record per account, then the account-class
  // total records) of the filter's month kinds; with department sum type 4
  // and a department, only that department's journal lines count.
  int32_t MoveReady(int32_t baseSumType, int32_t deptSumType, int32_t displayType,
                    const StFINDINFO* filter, const StBUMONINFO* department, int32_t pastType) {
    return impl()->MoveReady(baseSumType, deptSumType, displayType, filter, department, pastType);
  }
  int32_t GetSumCount(int32_t* count) { return impl()->GetSumCount(count); }
  int32_t SetMovePos(int32_t position) { return impl()->SetMovePos(position); }
  int32_t MoveNext(StKAMOKUSUMINFO* out) { return impl()->MoveNext(out); }
  int32_t MoveFinish() { return impl()->MoveFinish(); }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLRULEKAMOKU_H_
