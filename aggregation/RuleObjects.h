#ifndef TAXLINK_AGGREGATION_RULEOBJECTS_H_
#define TAXLINK_AGGREGATION_RULEOBJECTS_H_

#include <cstdint>
#include <memory>
#include <new>

#include "host/ClRuleBase.h"
#include "status/Status.h"

class ClRuleGenkashokyaku;
class ClRuleKamoku;
class ClRuleShiwake;
class ClRuleShohizei;
class ClRuleShohizeiShinkoku;

namespace taxlink {

// The class name of a rule object, for the status of a failed creation.
template <class Rule>
constexpr const char* kRuleClassName = nullptr;
template <>
inline constexpr const char* kRuleClassName<ClRuleGenkashokyaku> = "ClRuleGenkashokyaku";
template <>
inline constexpr const char* kRuleClassName<ClRuleKamoku> = "ClRuleKamoku";
template <>
inline constexpr const char* kRuleClassName<ClRuleShiwake> = "ClRuleShiwake";
template <>
inline constexpr const char* kRuleClassName<ClRuleShohizei> = "ClRuleShohizei";
template <>
inline constexpr const char* kRuleClassName<ClRuleShohizeiShinkoku> = "ClRuleShohizeiShinkoku";

// Prepares a new rule object: the host's set manager, the data id of the
// selected data set (set object 5) and the host's link options. Ok, or the
// first of these reads that failed: a rule object that is not bound to the
// selected data set would answer for another one, or for none.
Status PrepareRuleObject(ClRuleBase* rule);

// Creates a rule object with new (std::nothrow) and prepares it. On any
// failure *out is null and the status names it (NotCreated when the host
// cannot create one). Deleting the object runs the virtual destructor.
template <class Rule>
Status CreateRuleObject(std::unique_ptr<Rule>* out) {
  out->reset(new (std::nothrow) Rule);
  if (!*out) return Status::NotCreated(kRuleClassName<Rule>);
  Status status = PrepareRuleObject(out->get());
  if (!status.ok()) out->reset();
  return status;
}

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RULEOBJECTS_H_
