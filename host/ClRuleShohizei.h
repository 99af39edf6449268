#ifndef TAXLINK_HOST_CLRULESHOHIZEI_H_
#define TAXLINK_HOST_CLRULESHOHIZEI_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/ClRuleBase.h"
#include "host/StTAXSUMINFO.h"

// Per-account consumption-tax summaries.
class ClRuleShohizei : public ClRuleBase {
 public:
  ClRuleShohizei();
  ~ClRuleShohizei() override;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  // Prepares the summary records of month kinds *startKind..*endKind at the
  // rate *rate (x 100); taxIncluded selects tax-included amounts.
  int32_t MoveReady(int32_t sumType, const int16_t* startKind, const int16_t* endKind,
                    const int32_t* rate, const void* reserved, uint8_t taxIncluded);
  int32_t GetSumInfoCount();
  int32_t MoveNext(StTAXSUMINFO* out);
  int32_t MoveFinish();

  struct Query;

 private:
  Query* query_;
};

#endif  // TAXLINK_HOST_CLRULESHOHIZEI_H_
