#ifndef TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_
#define TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_

#include <sqlite3.h>

#include <cstdint>
#include <vector>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/KeptAccounts.h"

namespace mvhost {

// What a sound check of a data set's derived data kept for the services: the
// totals per tax class and per account (a kept flag false when a key column
// was too wide for the row kept).
struct CheckedRows {
  ClassTotals classes;
  AccountTotals accounts;
  bool classesKept = true;
  bool accountsKept = true;
  bool changesPending = false;  // changed lines were noted (not kept in the store)
};

// A sound check's rows (and the data set's accounts) written into the store
// (table derived_check_kept) with the change counter the store's file has
// once that write commits (table derived_check_stamp). The counter (bytes
// 24..27 of the file's header) moves with every write transaction any
// connection commits to a store in rollback-journal mode, so a later run
// that finds it unchanged knows that nothing was written since the check
// (or only what CarryCheckedSnapshots vouches for), and takes the rows as they are
// instead of reading and checking 1 400 rows of totals through SQLite (a
// third of a short run's own work). A store in WAL mode, in memory or whose
// header cannot be read never has its checks taken over.

// The store's change counter; false when it cannot be trusted as above.
bool ReadChangeCounter(sqlite3* db, uint32_t* counter);

// The rows of dataNo, when the store holds them for its change counter as it
// is now and they read back whole (their checksum, sizes and layout); else
// *found false. Reads quietly: no table, no row or a damaged row is no
// failure, the caller checks as before.
void ReadCheckedSnapshot(sqlite3* db, int32_t dataNo, CheckedRows* rows, bool* found);

// The accounts of dataNo kept with the check, on the same terms; *usable
// false when the accounts held a row KeptAccounts cannot carry.
void ReadSnapshotAccounts(sqlite3* db, int32_t dataNo, std::vector<KeptAccount>* accounts,
                          bool* usable, bool* found);

// Writes the rows of a check that read the store at change counter
// `checked`, in a write transaction of its own, when the store is free at
// once, writable and still at that counter, with the accounts of the data
// set (null: not usable as KeptAccounts says); quietly nothing otherwise. True
// when written, with *after the stamp of the store as the write left it
// (read under the write lock: nothing but the snapshot changed since the
// check).
bool WriteCheckedSnapshot(sqlite3* db, int32_t dataNo, uint32_t checked, const CheckedRows& rows,
                          const std::vector<KeptAccount>* accountList, StoreStamp* after);

// Inside a write transaction the caller holds that changes nothing a kept
// check is made of (the run log, the kept findings): moves the kept checks
// that stand now on to the counter this transaction's commit gives the file,
// so that they stand after it. Call it before the transaction's own writes.
// Quietly nothing outside a transaction or without kept checks; the caller's
// rollback undoes it with the rest.
void CarryCheckedSnapshots(sqlite3* db);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_
