#ifndef TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_
#define TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StTAXREPORTBUSINESSTYPEINFO.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "host/TaxLineTrace.h"

// The consumption-tax return summation.
class ClRuleShohizeiShinkoku : public ClRuleBase {
 public:
  class Impl : public ClRuleBase::Impl {
   public:
    virtual int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter,
                           StTAXREPORTRATEINFO* rates,
                           StTAXREPORTBUSINESSTYPEINFO* businessTypes) = 0;
    virtual int32_t TraceTax(uint8_t filingClass, const StFINDINFO* filter,
                             const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) = 0;
  };

  ClRuleShohizeiShinkoku();
  ~ClRuleShohizeiShinkoku() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  // Sums the journal lines that match the filter into the rate rows (as many
  // as ClSetShohizei::GetTaxRateCount reports, rates labelled by the caller)
  // and their six business-type records each.
  int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter, StTAXREPORTRATEINFO* rates,
                 StTAXREPORTBUSINESSTYPEINFO* businessTypes) {
    return impl()->SumTax(filingClass, filter, rates, businessTypes);
  }

  // Hands sink every side of a line that SumTax with the same arguments
  // adds into the rate rows (labelled by rates as for SumTax), with the
  // figures it adds to, in line order. The codes are those of SumTax; a
  // sink that returns false ends the walk with the host's cancel code.
  int32_t TraceTax(uint8_t filingClass, const StFINDINFO* filter, const StTAXREPORTRATEINFO* rates,
                   TaxLineSink* sink) {
    return impl()->TraceTax(filingClass, filter, rates, sink);
  }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLRULESHOHIZEISHINKOKU_H_
