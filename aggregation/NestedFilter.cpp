#include "aggregation/NestedFilter.h"

#include <cstring>

namespace taxlink {

namespace {

FilterCondition ZeroCondition() {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  return c;
}

}  // namespace

NestedFilter::NestedFilter() { std::memset(&top_, 0, sizeof(top_)); }

NestedFilter::~NestedFilter() {
  // Unregister before the arrays go away (members would do the same; this
  // keeps the order explicit).
  handles_.clear();
}

uint32_t NestedFilter::AddGroup(std::initializer_list<FilterCondition> conditions) {
  return AddGroup(std::vector<FilterCondition>(conditions));
}

uint32_t NestedFilter::AddGroup(const std::vector<FilterCondition>& conditions) {
  // An empty group still needs its terminating condition.
  std::size_t n = conditions.empty() ? 1 : conditions.size();
  auto array = std::make_unique<FilterCondition[]>(n);
  for (std::size_t i = 0; i < n; ++i) {
    array[i] = i < conditions.size() ? conditions[i] : ZeroCondition();
  }
  array[n - 1].link = kLinkLast;
  uint32_t ref = AddExternalGroup(array.get());
  arrays_.push_back(std::move(array));
  return ref;
}

uint32_t NestedFilter::AddExternalGroup(const FilterCondition* conditions) {
  handles_.push_back(std::make_unique<FilterGroupHandle>(conditions));
  return handles_.back()->ref();
}

FilterCondition GroupCondition(uint32_t groupRef, int16_t link) {
  FilterCondition c = ZeroCondition();
  c.fieldId = kFieldGroup;
  c.groupRef = groupRef;
  c.link = link;
  return c;
}

FilterCondition TaxClassCondition(int16_t side, int16_t op, int32_t taxClass, int16_t link) {
  FilterCondition c = ZeroCondition();
  c.fieldId = kFieldTaxClass;
  c.side = side;
  c.op = op;
  c.valueType = kValueInt32;
  c.value = taxClass;
  c.link = link;
  return c;
}

FilterCondition AccountClassCondition(uint32_t classCode, int16_t link) {
  FilterCondition c = ZeroCondition();
  c.fieldId = kFieldAccountClass;
  c.op = kOpEqual;
  c.valueType = kValueAccountClass;
  c.value = static_cast<int32_t>(classCode);
  c.link = link;
  return c;
}

FilterCondition DateCondition(int32_t fieldId, int16_t op, int32_t date, int16_t link) {
  FilterCondition c = ZeroCondition();
  c.fieldId = fieldId;
  c.op = op;
  c.valueType = kValueInt32;
  c.value = date;
  c.link = link;
  return c;
}

}  // namespace taxlink
