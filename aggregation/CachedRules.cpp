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
Status Cached(std::unique_ptr<Rule>& slot, Rule** rule) {
  Status status;
  if (!slot) status = CreateRuleObject(&slot);
  *rule = slot.get();
  return status;
}

}  // namespace

CachedRules::CachedRules() = default;
CachedRules::~CachedRules() = default;

Status CachedRules::TaxReturn(ClRuleShohizeiShinkoku** rule) { return Cached(taxReturn_, rule); }
Status CachedRules::TaxSums(ClRuleShohizei** rule) { return Cached(taxSums_, rule); }
Status CachedRules::Journals(ClRuleShiwake** rule) { return Cached(journals_, rule); }
Status CachedRules::AccountSums(ClRuleKamoku** rule) { return Cached(accountSums_, rule); }
Status CachedRules::FixedAssets(ClRuleGenkashokyaku** rule) { return Cached(fixedAssets_, rule); }

}  // namespace taxlink
