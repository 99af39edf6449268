#ifndef TAXLINK_HOST_CLRULEKAMOKU_H_
#define TAXLINK_HOST_CLRULEKAMOKU_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/ClRuleBase.h"
#include "host/StBUMONINFO.h"
#include "host/StFINDINFO.h"
#include "host/StKAMOKUSUMINFO.h"

// Account sums per month kind.
class ClRuleKamoku : public ClRuleBase {
 public:
  ClRuleKamoku();
  ~ClRuleKamoku() override;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  // Prepares the account sums (one record per account, then the account-class
  // total records) of the filter's month kinds; with department sum type 4
  // and a department, only that department's journal lines count.
  int32_t MoveReady(int32_t baseSumType, int32_t deptSumType, int32_t displayType,
                    const StFINDINFO* filter, const StBUMONINFO* department, int32_t pastType);
  int32_t GetSumCount(int32_t* count);
  int32_t SetMovePos(int32_t position);
  int32_t MoveNext(StKAMOKUSUMINFO* out);
  int32_t MoveFinish();

  struct Query;

 private:
  Query* query_;
};

#endif  // TAXLINK_HOST_CLRULEKAMOKU_H_
