#ifndef TAXLINK_HOST_CLRULESHIWAKE_H_
#define TAXLINK_HOST_CLRULESHIWAKE_H_

#include <cstdint>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StSWKTINFO.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "host/TaxLineTrace.h"

// Journal lines.
class ClRuleShiwake : public ClRuleBase {
 public:
  class Impl : public ClRuleBase::Impl {
   public:
    virtual int32_t GetSwkCount(const StFINDINFO* filter, const void* displayInfo,
                                int32_t* count) = 0;
    virtual int32_t MoveReady(const StFINDINFO* filter, const void* order, const void* displayInfo,
                              int32_t cursorType) = 0;
    virtual int32_t MoveNext(StSWKTINFO* out) = 0;
    virtual int32_t MoveFinish() = 0;
    virtual int32_t CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags,
                                           int32_t mode) = 0;
    virtual int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType,
                                               int32_t* count) = 0;
    virtual int32_t TraceReady(uint8_t filingClass, const StFINDINFO* filter,
                               const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) = 0;
    virtual int32_t TraceRest() = 0;
  };

  ClRuleShiwake();
  ~ClRuleShiwake() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  int32_t GetSwkCount(const StFINDINFO* filter, const void* displayInfo, int32_t* count) {
    return impl()->GetSwkCount(filter, displayInfo, count);
  }
  int32_t MoveReady(const StFINDINFO* filter, const void* order, const void* displayInfo,
                    int32_t cursorType) {
    return impl()->MoveReady(filter, order, displayInfo, cursorType);
  }
  int32_t MoveNext(StSWKTINFO* out) { return impl()->MoveNext(out); }
  int32_t MoveFinish() { return impl()->MoveFinish(); }
  // Before MoveReady: the walk it readies also hands sink every side that
  // ClRuleShohizeiShinkoku::TraceTax with these arguments would, in the same
  // order, as it passes their line, whether or not the walk's filter takes
  // the line: when MoveNext hands out a line, the sides of every line up to
  // it have been handed over. filter and rates must stay as they are until
  // MoveFinish. A sink that returns false ends the walk with the host's
  // cancel code.
  int32_t TraceReady(uint8_t filingClass, const StFINDINFO* filter,
                     const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) {
    return impl()->TraceReady(filingClass, filter, rates, sink);
  }
  // Hands over the sides of the lines the walk has not passed yet, so that
  // the sink has had every side; 0 then. The walk hands out no more lines.
  int32_t TraceRest() { return impl()->TraceRest(); }
  // Sets bit 3 (value 8) of *flags when lines at the 10 % rate match.
  int32_t CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags, int32_t mode) {
    return impl()->CheckExistSwkByZeiRate(filter, flags, mode);
  }
  // Counts the matching lines of a business type.
  int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType,
                                     int32_t* count) {
    return impl()->CheckExistSwkByJigyoBunrui(filter, businessType, count);
  }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLRULESHIWAKE_H_
