#ifndef TAXLINK_AGGREGATION_ACCOUNTINGPERIOD_H_
#define TAXLINK_AGGREGATION_ACCOUNTINGPERIOD_H_

#include <memory>

#include "host/ClAccPeriod.h"
#include "host/ClSetData.h"
#include "status/Status.h"

namespace taxlink {

// The accounting period object of dataSets: ok with *period set, or the
// call that failed (*period null).
Status AccountingPeriodOf(ClSetData* dataSets, std::unique_ptr<ClAccPeriod>* period);

// The accounting period object of the selected data set, through the set
// manager's data sets (set object 5): ok with *period set, or the call that
// failed (*period null).
Status AccountingPeriodOfSetManager(std::unique_ptr<ClAccPeriod>* period);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACCOUNTINGPERIOD_H_
