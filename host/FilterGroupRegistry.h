#ifndef TAXLINK_HOST_FILTERGROUPREGISTRY_H_
#define TAXLINK_HOST_FILTERGROUPREGISTRY_H_

#include <cstdint>

#include "host/FilterCondition.h"

// A group condition's 32-bit reference to its array of conditions. The
// 34-byte wire format has room for a 32-bit address only, which a 64-bit
// process cannot use; instead the caller registers the array with the host
// and stores the returned reference (never 0) in FilterCondition::groupRef.
// The array must stay alive, unchanged in place, until it is unregistered.
class ClFilterGroupRegistry {
 public:
  static ClFilterGroupRegistry* Inst();

  uint32_t Register(const FilterCondition* conditions);
  void Unregister(uint32_t ref);
  // The registered array, or null for an unknown reference.
  const FilterCondition* Resolve(uint32_t ref) const;
};

// Registers a group for the lifetime of this object.
class FilterGroupHandle {
 public:
  explicit FilterGroupHandle(const FilterCondition* conditions)
      : ref_(ClFilterGroupRegistry::Inst()->Register(conditions)) {}
  ~FilterGroupHandle() { ClFilterGroupRegistry::Inst()->Unregister(ref_); }
  FilterGroupHandle(const FilterGroupHandle&) = delete;
  FilterGroupHandle& operator=(const FilterGroupHandle&) = delete;

  uint32_t ref() const { return ref_; }

 private:
  uint32_t ref_;
};

#endif  // TAXLINK_HOST_FILTERGROUPREGISTRY_H_
