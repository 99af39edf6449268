#ifndef TAXLINK_MVHOST_JOURNALDERIVED_H_
#define TAXLINK_MVHOST_JOURNALDERIVED_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// What the host derives from a data set's journal lines so that no service
// of the aggregation reads the lines one by one through SQL:
//   journal_chunk             the lines packed in line order (PackedLine),
//                             streamed by the journal walks;
//   journal_class_total       lines and amounts per effective rate, business
//                             type, both tax classes and month kind (the tax
//                             return, the journal counts, the rates present);
//   journal_account_total     amount and tax per account, side, effective
//                             rate and month kind (account sums, tax sums);
//   journal_department_total  the same per department instead of rate.
// Triggers on journal_line mark a data set's derived data stale whenever one
// of its lines is inserted, changed or deleted; the next service that needs
// them rebuilds them in one pass over the lines (the import does so in its
// own transaction). Ensure checks them as it finds them (DerivedDataCheck):
// data that fail the checks are built again once, and what the rebuild does
// not mend fails with kErrDamagedDerived.
class JournalDerived {
 public:
  // Builds the derived data of dataNo when they are stale; 0, or a host
  // failure (kErrOverflow when a total does not fit 64 bits).
  static int32_t Ensure(sqlite3* db, int32_t dataNo);
  // Builds them now, within the caller's transaction when one is open.
  static int32_t Rebuild(sqlite3* db, int32_t dataNo);
};

// Streams the packed lines of a data set in line order, a chunk at a time.
// A chunk that is no blob of whole lines, or a line of an unknown month
// kind, ends the stream with kErrDamagedDerived naming the data set.
class PackedLineReader {
 public:
  int32_t Open(sqlite3* db, int32_t dataNo);
  // 1 with *line set, 0 at the end, a host failure otherwise.
  int32_t Next(const PackedLine** line);
  void Close();

 private:
  SqlStatement chunks_;
  std::string_view lines_;  // the current chunk, read in place
  size_t next_ = 0;
  int32_t dataNo_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALDERIVED_H_
