#include "aggregation/CachedRules.h"

#include "aggregation/RuleObjects.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"

namespace taxlink {

namespace {

template <class Rule>
Rule* Cached(std::unique_ptr<Rule>& slot) {
  if (!slot) slot = CreateRuleObject<Rule>();
  return slot.get();
}

}  // namespace

CachedRules::CachedRules() = default;
CachedRules::~CachedRules() = default;

ClRuleShohizeiShinkoku* CachedRules::TaxReturn() { return Cached(taxReturn_); }
ClRuleShohizei* CachedRules::TaxSums() { return Cached(taxSums_); }
ClRuleShiwake* CachedRules::Journals() { return Cached(journals_); }
ClRuleKamoku* CachedRules::AccountSums() { return Cached(accountSums_); }
ClRuleGenkashokyaku* CachedRules::FixedAssets() { return Cached(fixedAssets_); }

}  // namespace taxlink
