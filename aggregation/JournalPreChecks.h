#ifndef TAXLINK_AGGREGATION_JOURNALPRECHECKS_H_
#define TAXLINK_AGGREGATION_JOURNALPRECHECKS_H_

#include <cstdint>

#include "host/StFINDINFO.h"
#include "status/Status.h"

namespace taxlink {

// The questions asked of the journal lines of the month range before the
// aggregation runs. Each check creates a rule object of its own and deletes
// it before it returns.
class JournalPreChecks {
 public:
  // monthRange: the aggregation's filter; it must outlive the checks.
  explicit JournalPreChecks(const StFINDINFO& monthRange) : monthRange_(monthRange) {}

  // The first two register their outcome with the host's message manager
  // and return what it made of it: ok, or the registered code (hostCode()),
  // which the run hands to the host to judge; a rule object the host left
  // unprepared without a code gives a status with no host code.

  // *count: the lines of the business type, as the host wrote it.
  Status CheckSixthBusinessTypeJournals(int32_t businessType, int32_t* count);
  // *found: whether lines at the 10 % rate exist (written whatever the
  // host's answer, unless the rule object could not be created).
  Status CheckTenPercentJournals(int32_t* found);
  // *found: whether lines with an undetermined import tax class exist
  // (false on any failure, which the status names).
  Status CheckImportTaxClassJournals(bool* found);

 private:
  const StFINDINFO& monthRange_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_JOURNALPRECHECKS_H_
