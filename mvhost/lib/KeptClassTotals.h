#ifndef TAXLINK_MVHOST_KEPTCLASSTOTALS_H_
#define TAXLINK_MVHOST_KEPTCLASSTOTALS_H_

#include <sqlite3.h>

#include <cstdint>

#include "host/StFINDINFO.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/LinePredicate.h"

namespace mvhost {

// Calls visit for every row of the totals per tax class that matches the
// filter, from the rows the derived data's check kept (no statement to
// prepare for each filter); *answered false when none are kept (the caller
// asks SQL).
template <class Visit>
int32_t ForEachKeptClassTotal(sqlite3* db, int32_t dataNo, const StFINDINFO* filter,
                              bool* answered, Visit visit) {
  *answered = false;
  const ClassTotals* rows = nullptr;
  int32_t status = CheckedClassTotals(db, dataNo, &rows);
  if (status != 0 || rows == nullptr) return status;
  LinePredicate predicate;
  status = predicate.Compile(db, dataNo, filter);
  if (status != 0) return status;
  for (const ClassTotal& row : *rows) {
    if (predicate.MatchesClasses(row.monthKind, row.debitTaxClass, row.creditTaxClass)) visit(row);
  }
  *answered = true;
  return 0;
}

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_KEPTCLASSTOTALS_H_
