#ifndef TAXLINK_MVHOST_STOREDDATACHECK_H_
#define TAXLINK_MVHOST_STOREDDATACHECK_H_

#include <cstdint>
#include <functional>
#include <string>

#include "mvhost/lib/BookkeepingCheck.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredFindings.h"

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

// Findings a check made and could not keep at once (another connection was
// reading or writing the store), for a caller that tries again once the
// store is free: a check made beside the program ends while the program
// still reads the store.
struct UnkeptFindings {
  // Set by the caller before the check: the check does not try to keep its
  // findings at all, they all come here (the caller keeps them in a write
  // of its own once the store is free: a failed try journals and rolls
  // back, and one that succeeds after the program has ended is a commit
  // of its own before the caller's).
  bool deferred = false;
  bool pending = false;
  CheckRequest request;
  StoredFindings findings;
  StoredFindings::Stamp stamp;
  std::string parts;  // the chunks' parts (EncodeCheckParts), or none

  // Tries once more (under the same conditions as the first try), once.
  void Keep(sqlite3* db);
  // The same, with the caller's rows in the same transaction (see
  // StoredFindings::Write); true when they were written. With nothing to
  // keep, nothing is written and the answer is false.
  bool KeepWith(sqlite3* db, const std::function<bool()>& alongside);
};

// The bookkeeping check of a stored data set. Findings name the data set
// ("data set 1") and each line by its number in the data set, which is its
// place in an export's "journals" counted from 1.
// With `wants`, only the findings it wants reach the sink (the texts of the
// others are never made); `counts`, when given, gets every finding's rule.
// Findings that could not be kept at once go to `unkept`, when given.
CheckStatus CheckStoredDataSet(HostStore& store, const CheckRequest& request,
                               const BookkeepingCheck::Sink& sink, std::string* error,
                               const BookkeepingCheck::Wants& wants = {},
                               CheckCounts* counts = nullptr, UnkeptFindings* unkept = nullptr);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_STOREDDATACHECK_H_
