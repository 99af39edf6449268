#ifndef TAXLINK_AGGREGATION_NESTEDFILTER_H_
#define TAXLINK_AGGREGATION_NESTEDFILTER_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "host/FilterCondition.h"
#include "host/FilterGroupRegistry.h"
#include "host/StFINDINFO.h"

namespace taxlink {

// A query filter whose conditions may be groups (field 999). Each group's
// array of conditions is kept by this object and registered with the host's
// filter group registry for as long as the object lives, so the object must
// outlive every host query that uses top() (through MoveFinish).
// Groups are added bottom up: a group's members first, then the group that
// refers to them, so no registered array changes after its registration.
class NestedFilter {
 public:
  NestedFilter();
  ~NestedFilter();
  NestedFilter(const NestedFilter&) = delete;
  NestedFilter& operator=(const NestedFilter&) = delete;

  // Copies the conditions (the last one's link is forced to 0) into an array
  // of this object, registers it and returns its reference.
  uint32_t AddGroup(std::initializer_list<FilterCondition> conditions);
  uint32_t AddGroup(const std::vector<FilterCondition>& conditions);
  // Registers an array that the caller keeps alive and unchanged for the
  // lifetime of this object (such as the month-range filter).
  uint32_t AddExternalGroup(const FilterCondition* conditions);

  // The top-level filter handed to the host.
  StFINDINFO& top() { return top_; }
  const StFINDINFO& top() const { return top_; }

 private:
  // Arrays are declared before the handles, so the handles (and with them
  // the registrations) go first on destruction.
  std::vector<std::unique_ptr<FilterCondition[]>> arrays_;
  std::vector<std::unique_ptr<FilterGroupHandle>> handles_;
  StFINDINFO top_;
};

// Condition builders.
FilterCondition GroupCondition(uint32_t groupRef, int16_t link);
FilterCondition TaxClassCondition(int16_t side, int16_t op, int32_t taxClass, int16_t link);
FilterCondition AccountClassCondition(uint32_t classCode, int16_t link);
FilterCondition DateCondition(int32_t fieldId, int16_t op, int32_t date, int16_t link);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_NESTEDFILTER_H_
