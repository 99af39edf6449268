#include "mvhost/lib/AccountTotalLog.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// How far the log may grow past the floor before it is cleared (a 1 % change
// of 100 000 lines notes some 4 000 entries, one line four). Kept small: the
// pages a clear frees are taken again by the next entries, not by the chunks
// and notes, which a large clear scattered (a fold after a 1 % change wrote
// 40 % more pages on such a store).
constexpr int64_t kMostEntries = 4096;
// A log this far past its floor is trimmed though a kept check still wants
// it, and even when no fold is otherwise due (AccountTotalLogOverdue): the
// same lines changed again and again add entries but no notes.
constexpr int64_t kOverdueEntries = 16 * kMostEntries;

struct LogTrigger {
  const char* name;
  const char* event;
  const char* row;
};

// An update that sets the key columns notes the old key as well; the
// upserts of the line triggers set amounts only, and note one entry.
constexpr LogTrigger kTriggers[] = {
    {"journal_total_log_insert", "INSERT", "NEW"},
    {"journal_total_log_delete", "DELETE", "OLD"},
    {"journal_total_log_update", "UPDATE", "NEW"},
    {"journal_total_log_rekey", "UPDATE OF data_no, account_id, side, rate, month_kind", "OLD"},
};
static_assert(std::size(kTriggers) == kAccountTotalLogTriggers);

std::string TriggerSql(const LogTrigger& trigger) {
  const std::string row = trigger.row;
  return std::string("CREATE TRIGGER ") + trigger.name + " AFTER " + trigger.event +
         " ON journal_account_total BEGIN INSERT INTO journal_total_log (data_no, account_id, "
         "side, rate, month_kind) VALUES (" +
         row + ".data_no, " + row + ".account_id, " + row + ".side, " + row + ".rate, " + row +
         ".month_kind); END";
}

}  // namespace

const char* AccountTotalLogTablesSql() {
  return "CREATE TABLE IF NOT EXISTS journal_total_log (\n"
         "  seq        INTEGER PRIMARY KEY,\n"
         "  data_no    INTEGER,\n"
         "  account_id INTEGER,\n"
         "  side       INTEGER,\n"
         "  rate       INTEGER,\n"
         "  month_kind INTEGER\n"
         ");\n"
         "CREATE TABLE IF NOT EXISTS journal_total_log_floor (\n"
         "  one   INTEGER PRIMARY KEY CHECK (one = 1),\n"
         "  floor INTEGER NOT NULL\n"
         ");\n";
}

int32_t MakeAccountTotalLogTriggers(sqlite3* db) {
  std::string sql = AccountTotalLogTablesSql();
  for (const LogTrigger& trigger : kTriggers) {
    sql +=
        std::string("DROP TRIGGER IF EXISTS ") + trigger.name + ";\n" + TriggerSql(trigger) + ";\n";
  }
  // An entry of no data set marks where the triggers began: every position
  // before it may have missed a write.
  sql +=
      "INSERT INTO journal_total_log (data_no) VALUES (NULL);\n"
      "INSERT OR REPLACE INTO journal_total_log_floor (one, floor) "
      "SELECT 1, max(seq) FROM journal_total_log;\n";
  return ExecQuietly(db, sql.c_str());
}

std::string AccountTotalLogTriggerCondition() {
  std::string values;
  for (const LogTrigger& trigger : kTriggers) {
    values += std::string(values.empty() ? "" : ", ") + "('" + trigger.name + "', '" +
              TriggerSql(trigger) + "')";
  }
  return "(name, sql) IN (VALUES " + values + ")";
}

namespace {

// The log's newest position and how many entries it holds past its floor;
// false on a store without the log or when it does not read.
bool ReadLogSpan(sqlite3* db, int64_t* newest, int64_t* pastFloor) {
  // Each bound read by itself, through the key (a max and a min in one
  // query read every entry).
  SqlStatement query;
  if (query.Prepare(db,
                    "SELECT (SELECT max(seq) FROM journal_total_log), coalesce((SELECT floor "
                    "FROM journal_total_log_floor WHERE one = 1), (SELECT min(seq) FROM "
                    "journal_total_log))",
                    nullptr) != 0 ||
      query.Step() != 1 || query.IsNull(0)) {
    return false;
  }
  *newest = query.Int(0);
  *pastFloor = *newest - query.Int(1);
  return true;
}

}  // namespace

bool AccountTotalLogOverdue(sqlite3* db) {
  int64_t newest = 0, pastFloor = 0;
  return ReadLogSpan(db, &newest, &pastFloor) && pastFloor > kOverdueEntries;
}

void TrimAccountTotalLog(sqlite3* db, const std::function<bool()>& wanted) {
  int64_t newest = 0, pastFloor = 0;
  if (!ReadLogSpan(db, &newest, &pastFloor) || pastFloor <= kMostEntries ||
      (pastFloor <= kOverdueEntries && wanted && wanted())) {
    return;
  }
  // Cleared whole (a DELETE without a condition on a table without
  // triggers frees its pages without reading a row: dropping entries one by
  // one cost a fold about 2 600 instructions each), the newest kept as a
  // mark so that the sequence goes on from it, and the floor moved to it:
  // the next check of each data set reads every row once.
  const std::string mark = std::to_string(newest);
  RunSql(db, ("DELETE FROM journal_total_log;"
              "INSERT INTO journal_total_log (seq, data_no) VALUES (" +
              mark +
              ", NULL);"
              "INSERT OR REPLACE INTO journal_total_log_floor (one, floor) VALUES (1, " +
              mark + ")")
                 .c_str());
}

bool ReadAccountTotalLogPosition(sqlite3* db, AccountTotalLogPosition* position) {
  SqlStatement query;
  if (query.Prepare(db,
                    "SELECT (SELECT schema_version FROM pragma_schema_version), "
                    "(SELECT max(seq) FROM main.journal_total_log), "
                    "(SELECT count(*) FROM main.sqlite_schema WHERE type = 'trigger' AND "
                    "tbl_name = 'journal_account_total' AND " +
                        AccountTotalLogTriggerCondition() + ")",
                    nullptr) != 0 ||
      query.Step() != 1 || query.IsNull(1) || query.Int(2) != kAccountTotalLogTriggers) {
    return false;
  }
  position->schemaVersion = query.Int(0);
  position->position = query.Int(1);
  return true;
}

bool AccountTotalLogCovers(sqlite3* db, const AccountTotalLogPosition& since,
                           int64_t mostEntries) {
  SqlStatement state;
  if (state.Prepare(db,
                    "SELECT (SELECT schema_version FROM pragma_schema_version), "
                    "(SELECT floor FROM main.journal_total_log_floor WHERE one = 1), "
                    "(SELECT max(seq) FROM main.journal_total_log), "
                    "(SELECT count(*) FROM (SELECT 1 FROM main.journal_total_log WHERE seq > ?1 "
                    "LIMIT ?2))",
                    nullptr) != 0) {
    return false;
  }
  state.BindInt(1, since.position);
  state.BindInt(2, mostEntries + 1);
  // The entries after `since` all there: none trimmed (the floor) nor
  // removed by hand (their count), and the sequence not gone back. They are
  // counted up to one past the bound (at a million lines a 1 % change notes
  // some 40 000, whose count alone cost 5 M instructions).
  return state.Step() == 1 && state.Int(0) == since.schemaVersion && !state.IsNull(1) &&
         state.Int(1) <= since.position && !state.IsNull(2) && state.Int(2) >= since.position &&
         state.Int(3) == state.Int(2) - since.position && state.Int(3) <= mostEntries;
}

bool ReadLoggedAccountKeys(sqlite3* db, int32_t dataNo, const AccountTotalLogPosition& since,
                           size_t most, std::vector<AccountKey>* keys) {
  keys->clear();
  if (!AccountTotalLogCovers(db, since, MostLogEntries(most))) return false;
  SqlStatement entries;
  if (entries.Prepare(db,
                      "SELECT account_id, side, rate, month_kind FROM main.journal_total_log "
                      "WHERE seq > ?1 AND data_no = ?2",
                      nullptr) != 0) {
    return false;
  }
  entries.BindInt(1, since.position);
  entries.BindInt(2, dataNo);
  auto dropRepeats = [keys] {
    std::sort(keys->begin(), keys->end());
    keys->erase(std::unique(keys->begin(), keys->end()), keys->end());
  };
  int32_t step = 0;
  while ((step = entries.Step()) == 1) {
    AccountKey key{};
    for (int column = 0; column < 4; ++column) {
      if (!entries.IntegerAt(column, &key[column])) return false;
    }
    keys->push_back(key);
    // Repeats are dropped as the list grows, so that a long log of a few
    // keys stays short.
    if (keys->size() > 2 * most + 64) {
      dropRepeats();
      if (keys->size() > most) return false;
    }
  }
  if (step != 0) return false;
  dropRepeats();
  return keys->size() <= most;
}

}  // namespace mvhost
