#include "aggregation/JournalFilters.h"

#include <cstring>

#include <vector>

#include "aggregation/AccountClasses.h"
#include "host/ClRuleShiwake.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

// The cursor type the refund passes give their journal walks.
constexpr int32_t kCursorTypeJournal = 4;

uint32_t NonTaxableSideGroup(int16_t side, NestedFilter* out) {
  return out->AddGroup({
      TaxClassCondition(side, kOpLess, 21, kLinkOr),
      TaxClassCondition(side, kOpEqual, 24, kLinkOr),
      TaxClassCondition(side, kOpGreaterOrEqual, 30, kLinkLast),
  });
}

uint32_t ImportSideGroup(int16_t side, NestedFilter* out) {
  uint32_t lowRange = out->AddGroup({
      TaxClassCondition(side, kOpGreaterOrEqual, 31, kLinkAnd),
      TaxClassCondition(side, kOpLessOrEqual, 33, kLinkLast),
  });
  uint32_t highRange = out->AddGroup({
      TaxClassCondition(side, kOpGreaterOrEqual, 35, kLinkAnd),
      TaxClassCondition(side, kOpLessOrEqual, 37, kLinkLast),
  });
  return out->AddGroup({GroupCondition(lowRange, kLinkOr), GroupCondition(highRange, kLinkLast)});
}

// top = (group of both sides) and (month range)
void JoinSidesWithMonthRange(uint32_t debitGroup, uint32_t creditGroup,
                             const StFINDINFO& monthRange, NestedFilter* out) {
  uint32_t sides =
      out->AddGroup({GroupCondition(debitGroup, kLinkOr), GroupCondition(creditGroup, kLinkLast)});
  uint32_t months = out->AddExternalGroup(monthRange.conditions);
  out->top().conditions[0] = GroupCondition(sides, kLinkAnd);
  out->top().conditions[1] = GroupCondition(months, kLinkLast);
}

}  // namespace

void BuildNonTaxablePurchaseFilter(const StFINDINFO& monthRange, NestedFilter* out) {
  uint32_t debit = NonTaxableSideGroup(kSideDebit, out);
  uint32_t credit = NonTaxableSideGroup(kSideCredit, out);
  JoinSidesWithMonthRange(debit, credit, monthRange, out);
}

void BuildImportTaxClassFilter(const StFINDINFO& monthRange, NestedFilter* out) {
  uint32_t debit = ImportSideGroup(kSideDebit, out);
  uint32_t credit = ImportSideGroup(kSideCredit, out);
  JoinSidesWithMonthRange(debit, credit, monthRange, out);
}

bool BuildAccountClassFilter(int list, NestedFilter* out) {
  const std::vector<uint32_t>& classes = AccountClassList(list);
  if (classes.empty()) return false;
  std::vector<FilterCondition> conditions;
  conditions.reserve(classes.size());
  for (std::size_t i = 0; i < classes.size(); ++i) {
    conditions.push_back(
        AccountClassCondition(classes[i], i + 1 < classes.size() ? kLinkOr : kLinkLast));
  }
  out->top().conditions[0] = GroupCondition(out->AddGroup(conditions), kLinkLast);
  return true;
}

StFINDINFO AssetDateFilter(int32_t from, int32_t to) {
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0] = DateCondition(kFieldAssetDate, kOpGreaterOrEqual, from, kLinkAnd);
  filter.conditions[1] = DateCondition(kFieldAssetDate, kOpLessOrEqual, to, kLinkLast);
  return filter;
}

Status StartNonTaxablePurchaseWalk(ClRuleShiwake& rule, const StFINDINFO& monthRange,
                                   NestedFilter* filter, int32_t* lineCount,
                                   ReturnLineTrace* lines) {
  BuildNonTaxablePurchaseFilter(monthRange, filter);
  Status status = HostResult(rule.GetSwkCount(&filter->top(), nullptr, lineCount),
                             "ClRuleShiwake::GetSwkCount");
  if (!status.ok()) return status;
  // The summation's sides come from the month range alone, whatever the
  // walk's own filter takes.
  if (lines != nullptr && !lines->handedOver) {
    status =
        HostCallResult(rule.TraceReady(lines->filingClass, &monthRange, lines->rates, lines->sink),
                       "ClRuleShiwake::TraceReady");
    if (!status.ok()) return status;
  }
  return HostResult(rule.MoveReady(&filter->top(), nullptr, nullptr, kCursorTypeJournal),
                    "ClRuleShiwake::MoveReady");
}

Status FinishReturnLineTrace(ClRuleShiwake& rule, ReturnLineTrace* lines) {
  if (lines == nullptr || lines->handedOver) return Status::OK();
  Status status = HostCallResult(rule.TraceRest(), "ClRuleShiwake::TraceRest");
  if (!status.ok()) return status;
  lines->handedOver = true;
  return Status::OK();
}

}  // namespace taxlink
