#ifndef TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_
#define TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/ClRuleBase.h"
#include "host/StFINDINFO.h"
#include "host/StKOTEISHISANINFO.h"

// Fixed assets and their depreciation.
class ClRuleGenkashokyaku : public ClRuleBase {
 public:
  ClRuleGenkashokyaku();
  ~ClRuleGenkashokyaku() override;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  int32_t MoveReady(const StFINDINFO* filter, int32_t sortType, int32_t sumType);
  int32_t GetCount();
  int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
               StKOTEITSUKIINFO* month);
  int32_t MoveFinish();

  struct Query;

 private:
  Query* query_;
};

#endif  // TAXLINK_HOST_CLRULEGENKASHOKYAKU_H_
