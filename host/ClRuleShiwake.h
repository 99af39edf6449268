#ifndef TAXLINK_HOST_CLRULESHIWAKE_H_
#define TAXLINK_HOST_CLRULESHIWAKE_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StSWKTINFO.h"

// Journal lines.
class ClRuleShiwake : public ClRuleBase {
 public:
  ClRuleShiwake();
  ~ClRuleShiwake() override;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  int32_t GetSwkCount(const StFINDINFO* filter, const void* displayInfo, int32_t* count);
  int32_t MoveReady(const StFINDINFO* filter, const void* order, const void* displayInfo,
                    int32_t cursorType);
  int32_t MoveNext(StSWKTINFO* out);
  int32_t MoveFinish();
  // Sets bit 3 (value 8) of *flags when lines at the 10 % rate match.
  int32_t CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags, int32_t mode);
  // Counts the matching lines of a business type.
  int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType, int32_t* count);

  struct Query;

 private:
  Query* query_;
};

#endif  // TAXLINK_HOST_CLRULESHIWAKE_H_
