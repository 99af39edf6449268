#ifndef TAXLINK_MVHOST_ACCOUNTTOTALLOG_H_
#define TAXLINK_MVHOST_ACCOUNTTOTALLOG_H_

#include <sqlite3.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mvhost {

// The keys of the rows of journal_account_total written since a point, so
// that a check kept beside the store (CheckedSnapshot) can be brought up to
// date after another connection's change by reading those rows again
// instead of every row.
//
// Four short triggers on the table, whoever writes it (the line triggers'
// upserts, a rebuild, an edit with the sqlite3 tool), note the key of every
// row inserted, updated or deleted in journal_total_log, under a sequence
// (its rowid) that rises per store. journal_total_log_floor holds the
// lowest position the log still covers: a trim of the entries, and
// the triggers made again (writes may have gone unnoted while they were
// missing), move it up. The newest entry is never trimmed, so the sequence
// never goes back.

// The tables (CREATE ... IF NOT EXISTS), for the store only.
const char* AccountTotalLogTablesSql();

// Drops and makes the triggers again, and moves the floor past every entry
// so far. Within the caller's write transaction.
int32_t MakeAccountTotalLogTriggers(sqlite3* db);

// A condition on sqlite_schema's `name` and `sql` true for each of this
// build's log triggers as it made them.
std::string AccountTotalLogTriggerCondition();

// How many log triggers there are.
constexpr int64_t kAccountTotalLogTriggers = 4;

// Within a write transaction: clears the log once it holds 4 096 entries
// past the floor, keeping the newest as a mark and moving the floor to it.
// While `wanted` says so (a kept check still to be brought up to date from
// it; asked only when the log is that long), only once it holds 16 times
// that. Quietly nothing on a store without the log.
void TrimAccountTotalLog(sqlite3* db, const std::function<bool()>& wanted = nullptr);

// Whether the log has grown to 16 times that: a trim is due though no fold
// is (a change carried in its notes writes nothing). False on a store
// without the log.
bool AccountTotalLogOverdue(sqlite3* db);

// Where the log stands: the store's schema version (a log trigger dropped
// and made again moves it) and the newest entry's position.
struct AccountTotalLogPosition {
  int64_t schemaVersion = 0;
  int64_t position = 0;
};

// The log's position now, when this build's triggers are all there as it
// made them; false otherwise or when anything does not read.
bool ReadAccountTotalLogPosition(sqlite3* db, AccountTotalLogPosition* position);

// A key of journal_account_total: account, side, rate, month kind.
using AccountKey = std::array<int64_t, 4>;

// Whether the log covers every write since `since` (the same schema version,
// `since` not below the floor, no entry after it missing) in at most
// `mostEntries` entries; false also when anything does not read.
bool AccountTotalLogCovers(sqlite3* db, const AccountTotalLogPosition& since,
                           int64_t mostEntries);

// The entries read for at most `mostKeys` keys: a changed line notes about
// two per key, and past that a full check costs less.
constexpr int64_t MostLogEntries(size_t mostKeys) { return 2 * static_cast<int64_t>(mostKeys); }

// The keys of the rows of dataNo written since `since`, sorted and without
// repeats, when the log covers every write since (the same schema version,
// `since` not below the floor, no entry after it missing) and every key
// column is an integer; false otherwise (the caller checks every row). At
// most `most` keys, read from at most 2 × `most` entries: false past that.
bool ReadLoggedAccountKeys(sqlite3* db, int32_t dataNo, const AccountTotalLogPosition& since,
                           size_t most, std::vector<AccountKey>* keys);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_ACCOUNTTOTALLOG_H_
