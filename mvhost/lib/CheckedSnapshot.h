#ifndef TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_
#define TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_

#include <sqlite3.h>

#include <cstdint>
#include <vector>

#include "mvhost/lib/AccountTotalLog.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/KeptAssets.h"

namespace mvhost {

// What a sound check of a data set's derived data kept for the services: the
// totals per tax class and per account (a kept flag false when a key column
// was too wide for the row kept).
struct CheckedRows {
  ClassTotals classes;
  AccountTotals accounts;
  bool classesKept = true;
  bool accountsKept = true;
};

// A sound check's rows (and the data set's accounts) kept in a file beside
// the store (`<store file>-kept/<data_no>`) with the store's change counter
// read in the same read transaction as the rows. The counter (bytes 24..27
// of the file's header) moves with every write transaction any connection
// commits to a store in rollback-journal mode, so a later run that finds it
// unchanged, or moved only by the host's benign commits (NoteBenignCommit),
// knows that nothing the check is made of was written since, and takes the
// rows as they are instead of reading and checking 1 400 rows of totals
// through SQLite (a third of a short run's own work). Keeping them writes
// nothing to the store: no lock, no journal, no fsync. A store in WAL mode,
// in memory or whose header cannot be read never has its checks taken over.

// The store's change counter; false when it cannot be trusted as above.
bool ReadChangeCounter(sqlite3* db, uint32_t* counter);

// The rows of dataNo, when their file reads back whole (checksum, sizes,
// layout, data set) and stands for the store's change counter as it is now;
// else *found false. Reads quietly: no file or a damaged one is no failure,
// the caller checks as before.
void ReadCheckedSnapshot(sqlite3* db, int32_t dataNo, CheckedRows* rows, bool* found);

// The accounts of dataNo kept with the check, on the same terms; *usable
// false when the accounts held a row KeptAccounts cannot carry.
void ReadSnapshotAccounts(sqlite3* db, int32_t dataNo, std::vector<KeptAccount>* accounts,
                          bool* usable, bool* found);

// The fixed assets of dataNo kept with the check (in a file of their own
// beside it, `<data_no>.assets`), on the same terms; *usable false when the
// assets held a row KeptAssets cannot carry.
void ReadSnapshotAssets(sqlite3* db, int32_t dataNo, std::vector<KeptAsset>* assets, bool* usable,
                        bool* found);

// Keeps the rows of a check that read the store at change counter
// `checked` (confirmed unchanged after it), with the accounts and the fixed
// assets of the data set (null: not usable as KeptAccounts and KeptAssets
// say): written to a temporary file
// and renamed over the kept one. Quietly nothing inside a caller's
// transaction, for temp tables, for a store with no file or a folder the
// user may not write. True when kept.
bool WriteCheckedSnapshot(sqlite3* db, int32_t dataNo, uint32_t checked, const CheckedRows& rows,
                          const std::vector<KeptAccount>* accountList,
                          const std::vector<KeptAsset>* assetList);

// Where the account totals' log stood when a check was kept (a small file
// beside the check's, `<data_no>.since`): the counter of that check, the
// log's position and the check's rows of account totals.
struct KeptSince {
  uint32_t counter = 0;
  AccountTotalLogPosition log;
  uint64_t accountRows = 0;
};

// The `.since` file of dataNo, when it reads back whole; false otherwise.
bool ReadKeptSince(sqlite3* db, int32_t dataNo, KeptSince* since);

// The account totals of the check kept for dataNo at `counter`, whether or
// not it stands for the store now; *found false when its file does not read
// back whole or was kept at another counter. The caller reads again the rows
// the log names since (ReadLoggedAccountKeys).
void ReadCheckedRowsAt(sqlite3* db, int32_t dataNo, uint32_t counter, CheckedRows* rows,
                       bool* found);

// Keeps the `.since` file beside the check kept at since.counter. On the
// same terms as WriteCheckedSnapshot; true when kept.
bool WriteCheckedSince(sqlite3* db, int32_t dataNo, const KeptSince& since);

// Inside a write transaction the caller holds that changes nothing a kept
// check is made of (the run log, the kept findings): records the counter
// this transaction's commit gives the file as benign (table
// derived_benign_commit, the last few hundred), so that kept checks stand
// after it. Quietly nothing outside a transaction or on a store whose
// counter is not trusted; the caller's rollback undoes it with the rest.
void NoteBenignCommit(sqlite3* db);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CHECKEDSNAPSHOT_H_
