#ifndef TAXLINK_HOST_CLRULESHOHIZEI_H_
#define TAXLINK_HOST_CLRULESHOHIZEI_H_

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/StTAXSUMINFO.h"

// Per-account consumption-tax summaries.
class ClRuleShohizei : public ClRuleBase {
 public:
  class Impl : public ClRuleBase::Impl {
   public:
    virtual int32_t MoveReady(int32_t sumType, const int16_t* startKind, const int16_t* endKind,
                              const int32_t* rate, const void* reserved, uint8_t taxIncluded) = 0;
    virtual int32_t GetSumInfoCount() = 0;
    virtual int32_t MoveNext(StTAXSUMINFO* out) = 0;
    virtual int32_t MoveFinish() = 0;
  };

  ClRuleShohizei();
  ~ClRuleShohizei() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  // Prepares the summary records of month kinds *startKind..*endKind at the
  // rate *rate (x 100); taxIncluded selects tax-included amounts.
  int32_t MoveReady(int32_t sumType, const int16_t* startKind, const int16_t* endKind,
                    const int32_t* rate, const void* reserved, uint8_t taxIncluded) {
    return impl()->MoveReady(sumType, startKind, endKind, rate, reserved, taxIncluded);
  }
  int32_t GetSumInfoCount() { return impl()->GetSumInfoCount(); }
  int32_t MoveNext(StTAXSUMINFO* out) { return impl()->MoveNext(out); }
  int32_t MoveFinish() { return impl()->MoveFinish(); }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLRULESHOHIZEI_H_
