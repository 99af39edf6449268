#ifndef TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_
#define TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StTAXREPORTBUSINESSTYPEINFO.h"
#include "host/StTAXREPORTRATEINFO.h"

// The consumption-tax return summation.
class ClRuleShohizeiShinkoku : public ClRuleBase {
 public:
  ClRuleShohizeiShinkoku();
  ~ClRuleShohizeiShinkoku() override;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  // Sums the journal lines that match the filter into the rate rows (as many
  // as ClSetShohizei::GetTaxRateCount reports, rates labelled by the caller)
  // and their six business-type records each.
  int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter, StTAXREPORTRATEINFO* rates,
                 StTAXREPORTBUSINESSTYPEINFO* businessTypes);

  struct Query;

 private:
  Query* query_;
};

#endif  // TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_
