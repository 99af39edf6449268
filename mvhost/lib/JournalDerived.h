#ifndef TAXLINK_MVHOST_JOURNALDERIVED_H_
#define TAXLINK_MVHOST_JOURNALDERIVED_H_

#include <sqlite3.h>

#include <cstdint>

namespace mvhost {

// What the host derives from a data set's journal lines so that no service
// of the aggregation reads the lines one by one through SQL:
//   journal_chunk             the lines packed in line order (PackedLine),
//                             1024 line ids to a chunk, streamed by the
//                             journal walks (PackedLineReader);
//   journal_class_total       lines and amounts per effective rate, business
//                             type, both tax classes and month kind (the tax
//                             return, the journal counts, the rates present);
//   journal_account_total     lines, amount and tax per account, side,
//                             effective rate and month kind (account sums,
//                             tax sums);
//   journal_department_total  the same per department instead of rate;
//   journal_derived_state     one row per data set: built, or being built;
//   journal_line_change       the lines changed since their chunk was
//                             written.
// They are kept current where the lines change: the import builds them in
// its own transaction, and the triggers of DerivedSchema keep the totals of
// any other write current in the writer's transaction and note the changed
// lines, which readers take from journal_line until their chunk is
// rewritten. A rebuild is needed only for a store from an earlier build, a
// data set never built, or a sum that may have passed 64 bits.
class JournalDerived {
 public:
  // Makes the derived data of dataNo ready to read: rebuilds them when
  // needed, in short transactions with the host's progress window, or waits
  // (with the window) while another process rebuilds them; a connection
  // that cannot write the store builds them in its own temp tables. Rewrites
  // a few chunks of changed lines, the first time on a connection, when the
  // store is free at once. Checks what it finds built (DerivedDataCheck)
  // and builds damaged data again. 0, or a host failure (kErrOverflow when a
  // total does not fit 64 bits, kErrDamagedDerived when a rebuild does not
  // mend them).
  static int32_t Ensure(sqlite3* db, int32_t dataNo);
  // Builds them anew now: within the caller's transaction when one is open
  // (the import's), else in transactions of its own.
  static int32_t Rebuild(sqlite3* db, int32_t dataNo);
  // Creates or upgrades their tables and triggers within the caller's
  // transaction.
  static int32_t PrepareSchema(sqlite3* db);
  // Rewrites the chunks of up to maxChunks chunks holding changed lines, in
  // a transaction of its own; *chunks gets how many.
  static int32_t FoldChanges(sqlite3* db, int32_t dataNo, int64_t maxChunks, int64_t* chunks);
  // The connection is about to close: Ensure forgets what it did on it.
  static void ForgetConnection(sqlite3* db);
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALDERIVED_H_
