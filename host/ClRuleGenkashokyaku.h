#ifndef TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_
#define TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StKOTEISHISANINFO.h"

// Fixed assets and their depreciation.
class ClRuleGenkashokyaku : public ClRuleBase {
 public:
  class Impl : public ClRuleBase::Impl {
   public:
    virtual int32_t MoveReady(const StFINDINFO* filter, int32_t sortType, int32_t sumType) = 0;
    virtual int32_t GetCount() = 0;
    virtual int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                         StKOTEITSUKIINFO* month) = 0;
    virtual int32_t MoveFinish() = 0;
  };

  ClRuleGenkashokyaku();
  ~ClRuleGenkashokyaku() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  int32_t MoveReady(const StFINDINFO* filter, int32_t sortType, int32_t sumType) {
    return impl()->MoveReady(filter, sortType, sumType);
  }
  int32_t GetCount() { return impl()->GetCount(); }
  int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
               StKOTEITSUKIINFO* month) {
    return impl()->Move(index, asset, year, month);
  }
  int32_t MoveFinish() { return impl()->MoveFinish(); }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_
