#ifndef TAXLINK_MVHOST_STOREDDATACHECK_H_
#define TAXLINK_MVHOST_STOREDDATACHECK_H_

#include <cstdint>
#include <string>

#include "mvhost/lib/BookkeepingCheck.h"
#include "mvhost/lib/HostStore.h"

namespace mvhost {

// What to check: a stored data set, over calendar months S..E (both 0: the
// whole period).
struct CheckRequest {
  int32_t dataNo = 0;
  int startMonth = 0;
  int endMonth = 0;
};

enum class CheckStatus {
  kChecked,    // every finding went to the sink
  kBadMonths,  // the months are not months of the data set's period
  kFailed,     // the data set could not be read
};

// The bookkeeping check of a stored data set. Findings name the data set
// ("data set 1") and each line by its number in the data set, which is its
// place in an export's "journals" counted from 1.
// With `wants`, only the findings it wants reach the sink (the texts of the
// others are never made); `counts`, when given, gets every finding's rule.
CheckStatus CheckStoredDataSet(HostStore& store, const CheckRequest& request,
                               const BookkeepingCheck::Sink& sink, std::string* error,
                               const BookkeepingCheck::Wants& wants = {},
                               CheckCounts* counts = nullptr);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_STOREDDATACHECK_H_
