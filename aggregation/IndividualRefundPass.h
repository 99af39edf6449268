#ifndef TAXLINK_AGGREGATION_INDIVIDUALREFUNDPASS_H_
#define TAXLINK_AGGREGATION_INDIVIDUALREFUNDPASS_H_

#include <cstdint>

#include "aggregation/PassContext.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StBUMONINFO.h"
#include "status/Status.h"

namespace taxlink {

// The refund statement lines of an individual, split by kind of income:
// book amounts from the account sums per department, non-taxable parts
// from journal lines (routed by the department of each side), and the fixed
// assets acquired in the period. Does nothing for a corporation.
class IndividualRefundPass {
 public:
  explicit IndividualRefundPass(PassContext& context) : context_(context) {}

  // Stops at the first host failure and returns it.
  template <class Trace>
  Status Run(TaxSummaryTables& tables, Trace trace);

 private:
  template <class Trace>
  Status SumBookAmounts(TaxSummaryTables& tables, Trace trace);
  // One account-sum walk, for a department or (null) for none.
  template <class Trace>
  Status AccountSumWalk(const StBUMONINFO* department, TaxSummaryTables& tables, Trace trace);
  template <class Trace>
  Status SumNonTaxableParts(TaxSummaryTables& tables, Trace trace);
  template <class Trace>
  Status SumAcquiredAssets(TaxSummaryTables& tables, Trace trace);

  PassContext& context_;
  uint8_t incomeKind_ = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_INDIVIDUALREFUNDPASS_H_
