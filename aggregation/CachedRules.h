#ifndef TAXLINK_AGGREGATION_CACHEDRULES_H_
#define TAXLINK_AGGREGATION_CACHEDRULES_H_

#include <memory>

class ClRuleGenkashokyaku;
class ClRuleKamoku;
class ClRuleShiwake;
class ClRuleShohizei;
class ClRuleShohizeiShinkoku;

namespace taxlink {

// The host rule objects one aggregation keeps: each is created and prepared
// on first use (null when the host cannot create it) and deleted through its
// virtual destructor with the cache.
class CachedRules {
 public:
  CachedRules();
  ~CachedRules();
  CachedRules(const CachedRules&) = delete;
  CachedRules& operator=(const CachedRules&) = delete;

  ClRuleShohizeiShinkoku* TaxReturn();
  ClRuleShohizei* TaxSums();
  ClRuleShiwake* Journals();
  ClRuleKamoku* AccountSums();
  ClRuleGenkashokyaku* FixedAssets();

 private:
  std::unique_ptr<ClRuleShohizeiShinkoku> taxReturn_;
  std::unique_ptr<ClRuleShohizei> taxSums_;
  std::unique_ptr<ClRuleShiwake> journals_;
  std::unique_ptr<ClRuleKamoku> accountSums_;
  std::unique_ptr<ClRuleGenkashokyaku> fixedAssets_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_CACHEDRULES_H_
