#ifndef TAXLINK_AGGREGATION_CORPORATEREFUNDPASS_H_
#define TAXLINK_AGGREGATION_CORPORATEREFUNDPASS_H_

#include "aggregation/PassContext.h"
#include "aggregation/TaxSummaryTables.h"
#include "status/Status.h"

namespace taxlink {

// The refund statement lines of a corporation: book amounts from the
// account sums, non-taxable parts from the journal lines, and the fixed and
// deferred assets acquired in the period. Does nothing for an individual.
class CorporateRefundPass {
 public:
  explicit CorporateRefundPass(PassContext& context) : context_(context) {}

  // Stops at the first host failure and returns it.
  template <class Trace>
  Status Run(TaxSummaryTables& tables, Trace trace);

 private:
  template <class Trace>
  Status SumBookAmounts(TaxSummaryTables& tables, Trace trace);
  template <class Trace>
  Status SumNonTaxableParts(TaxSummaryTables& tables, Trace trace);
  template <class Trace>
  Status SumAcquiredAssets(TaxSummaryTables& tables, Trace trace);

  PassContext& context_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_CORPORATEREFUNDPASS_H_
