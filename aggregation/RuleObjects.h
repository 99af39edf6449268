#ifndef TAXLINK_AGGREGATION_RULEOBJECTS_H_
#define TAXLINK_AGGREGATION_RULEOBJECTS_H_

#include <cstdint>
#include <memory>
#include <new>

#include "host/ClRuleBase.h"

namespace taxlink {

// Prepares a new rule object: the host's set manager, the data id of the
// selected data set (set object 5) and the host's link options.
void PrepareRuleObject(ClRuleBase* rule);

// Creates a rule object with new (std::nothrow) and prepares it; null when
// the host cannot create it. Deleting it runs the virtual destructor.
template <class Rule>
std::unique_ptr<Rule> CreateRuleObject() {
  std::unique_ptr<Rule> rule(new (std::nothrow) Rule);
  if (rule) PrepareRuleObject(rule.get());
  return rule;
}

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RULEOBJECTS_H_
