#ifndef TAXLINK_AGGREGATION_INDIVIDUALROUTING_H_
#define TAXLINK_AGGREGATION_INDIVIDUALROUTING_H_

#include <cstdint>

#include "host/StBUMONINFO.h"

namespace taxlink {

// The individual refund-statement lines an amount feeds: by the data set's
// income kind (1 business, 2 real estate, 3 several, told apart by
// department) and, for income kind 3, by the department in hand. More than
// one target may hold.
struct IncomeRouting {
  bool business = false;
  bool realEstate = false;
  bool other = false;
};

// department is the department in hand (a zeroed record when there is none);
// departmentsExist says whether the data set works with departments.
IncomeRouting RouteIndividualAmount(uint8_t incomeKind, bool departmentsExist,
                                    const StBUMONINFO& department);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_INDIVIDUALROUTING_H_
