#ifndef TAXLINK_AGGREGATION_CACHEDRULES_H_
#define TAXLINK_AGGREGATION_CACHEDRULES_H_

#include <memory>

#include "status/Status.h"

class ClRuleGenkashokyaku;
class ClRuleKamoku;
class ClRuleShiwake;
class ClRuleShohizei;
class ClRuleShohizeiShinkoku;

namespace taxlink {

// The host rule objects one aggregation keeps: each is created and prepared
// on first use and deleted through its virtual destructor with the cache.
// Each getter sets *rule, or returns why the object could not be made (and
// leaves *rule null).
class CachedRules {
 public:
  CachedRules();
  ~CachedRules();
  CachedRules(const CachedRules&) = delete;
  CachedRules& operator=(const CachedRules&) = delete;

  Status TaxReturn(ClRuleShohizeiShinkoku** rule);
  Status TaxSums(ClRuleShohizei** rule);
  Status Journals(ClRuleShiwake** rule);
  Status AccountSums(ClRuleKamoku** rule);
  Status FixedAssets(ClRuleGenkashokyaku** rule);

 private:
  std::unique_ptr<ClRuleShohizeiShinkoku> taxReturn_;
  std::unique_ptr<ClRuleShohizei> taxSums_;
  std::unique_ptr<ClRuleShiwake> journals_;
  std::unique_ptr<ClRuleKamoku> accountSums_;
  std::unique_ptr<ClRuleGenkashokyaku> fixedAssets_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_CACHEDRULES_H_
