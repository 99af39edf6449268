#ifndef TAXLINK_AGGREGATION_JOURNALFILTERS_H_
#define TAXLINK_AGGREGATION_JOURNALFILTERS_H_

#include <cstdint>

#include "aggregation/NestedFilter.h"
#include "aggregation/ReturnLineTrace.h"
#include "host/StFINDINFO.h"
#include "status/Status.h"

class ClRuleShiwake;

namespace taxlink {

// The filters built from groups. monthRange must stay alive and unchanged as
// long as out does (it is registered in place as a group).

// Journal lines of the month range whose debit or credit tax class is not a
// taxable purchase:
//   ((debit: <21 or =24 or >=30) or (credit: the same)) and (month range)
void BuildNonTaxablePurchaseFilter(const StFINDINFO& monthRange, NestedFilter* out);

// Builds the non-taxable purchase filter into *filter and readies rule's
// walk over its lines: the number of lines into *lineCount, then the walk.
// filter must outlive the walk.
// With lines (a trace whose sides were not handed over yet) the walk also
// hands the return summation's sides over as it passes them; the pass then
// ends it with FinishReturnLineTrace.
Status StartNonTaxablePurchaseWalk(ClRuleShiwake& rule, const StFINDINFO& monthRange,
                                   NestedFilter* filter, int32_t* lineCount,
                                   ReturnLineTrace* lines = nullptr);
// After a walk StartNonTaxablePurchaseWalk readied with lines, that went
// well: the sides of the lines it did not pass, and the sink told it has
// them all. Nothing when the walk handed none over.
Status FinishReturnLineTrace(ClRuleShiwake& rule, ReturnLineTrace* lines);

// Journal lines of the month range with an undetermined import tax class
// (31..33 or 35..37) on the debit or the credit side:
//   ((debit: (>=31 and <=33) or (>=35 and <=37)) or (credit: the same))
//   and (month range)
void BuildImportTaxClassFilter(const StFINDINFO& monthRange, NestedFilter* out);

// Accounts of the classes of an account-class selection list, joined by or.
// The longer lists do not fit the four conditions of a filter, so the list
// is one group: top = (group of the list). False for an unknown list.
bool BuildAccountClassFilter(int list, NestedFilter* out);

// Fixed assets acquired from from to to (yyyymmdd, both included):
//   (field 203 >= from) and (field 203 <= to)
StFINDINFO AssetDateFilter(int32_t from, int32_t to);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_JOURNALFILTERS_H_
