#include "mvhost/lib/StoredFindings.h"

#include <iterator>
#include <utility>

#include "mvhost/lib/BlobReader.h"
#include "mvhost/lib/BlobWriter.h"
#include "mvhost/lib/BusyWait.h"
#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/DerivedChunks.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The stored form's first bytes; another form is never read as this one.
constexpr char kMagic[4] = {'C', 'F', '1', '\0'};
// The most ranges of months kept per data set.
constexpr int64_t kRangesPerDataSet = 4;

constexpr const char* kTableSql =
    "CREATE TABLE IF NOT EXISTS main.check_findings (\n"
    "  data_no     INTEGER NOT NULL,\n"
    "  start_month INTEGER NOT NULL,\n"
    "  end_month   INTEGER NOT NULL,\n"
    "  rules       INTEGER NOT NULL,\n"
    "  changes     INTEGER NOT NULL,\n"
    "  head        INTEGER NOT NULL,\n"
    "  findings    BLOB NOT NULL,\n"
    "  PRIMARY KEY (data_no, start_month, end_month)\n"
    ") WITHOUT ROWID";

constexpr const char* kPartsTableSql =
    "CREATE TABLE IF NOT EXISTS main.check_parts (\n"
    "  data_no     INTEGER NOT NULL,\n"
    "  start_month INTEGER NOT NULL,\n"
    "  end_month   INTEGER NOT NULL,\n"
    "  rules       INTEGER NOT NULL,\n"
    "  epoch       INTEGER NOT NULL,\n"
    "  head        INTEGER NOT NULL,\n"
    "  parts       BLOB NOT NULL,\n"
    "  PRIMARY KEY (data_no, start_month, end_month)\n"
    ") WITHOUT ROWID";

// The changes per chunk of a data set's lines (each changed line's note).
constexpr const char* kChunkChangesSql =
    "CREATE TABLE IF NOT EXISTS main.check_chunk_change (\n"
    "  data_no  INTEGER NOT NULL,\n"
    "  chunk_no INTEGER NOT NULL,\n"
    "  changes  INTEGER NOT NULL,\n"
    "  PRIMARY KEY (data_no, chunk_no)\n"
    ") WITHOUT ROWID";

// A table whose rows the findings are made of, and the events that clear
// the findings of the row's data set.
struct Source {
  const char* table;
  const char* events;  // "INSERT", "DELETE" or "UPDATE [OF ...]"
};
constexpr Source kSources[] = {
    // A line changed while its derived data are kept is noted here.
    {"journal_line_change", "INSERT"},
    {"journal_line_change", "UPDATE"},
    // A rebuild, a data set marked for one, a data set removed (its lines
    // may come back changed, with derived data built anew). The chunks and
    // totals are made from the lines: rewriting a chunk (a fold) changes no
    // finding.
    {"journal_derived_state", "INSERT"},
    {"journal_derived_state", "UPDATE OF built, overflow"},
    {"journal_derived_state", "DELETE"},
};

// The rows of a data set that the check reads besides its lines, in a
// fixed order: their digest tells whether any of them changed.
constexpr const char* kHeadSql[] = {
    "SELECT * FROM data_set WHERE data_no = ?",
    "SELECT * FROM tax_rate WHERE data_no = ? ORDER BY row_no",
    "SELECT * FROM account_class WHERE data_no = ? ORDER BY class_code",
    "SELECT * FROM account WHERE data_no = ? ORDER BY account_id",
    "SELECT * FROM fixed_asset WHERE data_no = ? ORDER BY asset_id",
};

// FNV-1a over every byte given, the values' types and sizes among them.
class Digest {
 public:
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) value_ = (value_ ^ bytes[i]) * 0x100000001b3ULL;
  }
  void AddInt(int64_t v) { Add(&v, sizeof v); }
  uint64_t value() const { return value_; }

 private:
  uint64_t value_ = 0xcbf29ce484222325ULL;
};

constexpr const char* kChangesSql =
    "CREATE TABLE IF NOT EXISTS main.check_findings_change (\n"
    "  data_no INTEGER PRIMARY KEY,\n"
    "  changes INTEGER NOT NULL\n"
    ")";

// Counts a change of the row's data set: findings kept at another count
// are not read. The triggers are parsed by every connection that opens the
// store, so they are kept short.
// Counts a change of the row's data set; a line's note counts its chunk
// as well, so that the data set's count less its chunks' counts is the
// count of its derived data built, marked or removed (its epoch). The
// triggers are parsed by every connection that opens the store, so they
// are kept short.
std::string TriggerSql(const Source& source, size_t index) {
  const std::string events = source.events;
  const bool line = std::string(source.table) == "journal_line_change";
  const std::string chunk = " >> " + std::to_string(kChunkShift);
  std::string rows = "(NEW.data_no, 1)";
  std::string chunkRows = "(NEW.data_no, NEW.line_id" + chunk + ", 1)";
  if (events == "DELETE") rows = "(OLD.data_no, 1)";
  if (events.rfind("UPDATE", 0) == 0) {
    rows = "(OLD.data_no, 1), (NEW.data_no, 1)";
    chunkRows = "(OLD.data_no, OLD.line_id" + chunk + ", 1), " + chunkRows;
  }
  std::string sql = "CREATE TRIGGER IF NOT EXISTS main.check_findings_v2_" +
                    std::to_string(index) + " AFTER " + events + " ON " + source.table +
                    " BEGIN INSERT INTO check_findings_change VALUES " + rows +
                    " ON CONFLICT DO UPDATE SET changes = changes + 1;";
  if (line) {
    sql += " INSERT INTO check_chunk_change VALUES " + chunkRows +
           " ON CONFLICT DO UPDATE SET changes = changes + 1;";
  }
  return sql + " END";
}

// The changes counted for the data set; -1 before any check kept findings
// (no table).
int64_t Changes(sqlite3* db, int32_t dataNo) {
  SqlStatement changes(db, "SELECT changes FROM main.check_findings_change WHERE data_no = ?");
  if (!changes.ok()) return -1;
  changes.Bind(1, dataNo);
  return changes.Row() ? changes.Int(0) : 0;
}

// The data set's epoch: its changes counted less its chunks' (a trigger
// of an earlier build that counts the data set alone moves it too).
constexpr const char* kEpochSql =
    "coalesce((SELECT changes FROM main.check_findings_change WHERE data_no = ?1), 0) - "
    "coalesce((SELECT sum(changes) FROM main.check_chunk_change WHERE data_no = ?1), 0)";

// -1 without the tables.
int64_t Epoch(sqlite3* db, int32_t dataNo) {
  SqlStatement epoch(db, (std::string("SELECT ") + kEpochSql).c_str());
  if (!epoch.ok()) return -1;
  epoch.Bind(1, dataNo);
  return epoch.Row() ? epoch.Int(0) : 0;
}

// Every column of every row of the data set's head.
bool HeadDigest(sqlite3* db, int32_t dataNo, int64_t* digest) {
  Digest sum;
  for (const char* sql : kHeadSql) {
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &rows, nullptr) != SQLITE_OK) {
      sqlite3_finalize(rows);
      return false;
    }
    sqlite3_bind_int64(rows, 1, dataNo);
    int step = 0;
    while ((step = sqlite3_step(rows)) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(rows);
      sum.AddInt(columns);
      for (int c = 0; c < columns; ++c) {
        const int type = sqlite3_column_type(rows, c);
        sum.AddInt(type);
        if (type == SQLITE_INTEGER) {
          sum.AddInt(sqlite3_column_int64(rows, c));
        } else if (type == SQLITE_FLOAT) {
          const double value = sqlite3_column_double(rows, c);
          sum.Add(&value, sizeof value);
        } else if (type != SQLITE_NULL) {
          const void* bytes = sqlite3_column_blob(rows, c);
          const int size = sqlite3_column_bytes(rows, c);
          sum.AddInt(size);
          sum.Add(bytes, static_cast<size_t>(size));
        }
      }
    }
    sqlite3_finalize(rows);
    if (step != SQLITE_DONE) return false;
    sum.AddInt(-1);  // the end of a table's rows
  }
  *digest = static_cast<int64_t>(sum.value());
  return true;
}

int64_t DataVersion(sqlite3* db) {
  SqlStatement version(db, "PRAGMA main.data_version");
  return version.Row() ? version.Int(0) : -1;
}

}  // namespace

std::string StoredFindings::Encode() const {
  std::string out(kMagic, sizeof kMagic);
  BlobWriter w(&out);
  for (size_t i = 0; i < kCheckRuleCount; ++i) w.Int(counts.Of(static_cast<CheckRule>(i)));
  w.Int(static_cast<int64_t>(findings.size()));
  for (const CheckFinding& f : findings) {
    w.Int(static_cast<int64_t>(f.rule));
    w.Int(f.journal);
    w.Text(f.source);
    w.Text(f.item);
    w.Text(f.what);
    w.Text(f.todo);
  }
  return out;
}

bool StoredFindings::Decode(const std::string& bytes) {
  counts = CheckCounts();
  findings.clear();
  BlobReader in(bytes);
  if (!in.Skip(kMagic, sizeof kMagic)) return false;
  for (size_t i = 0; i < kCheckRuleCount; ++i) {
    int64_t count = 0;
    if (!in.Int(&count) || count < 0) return false;
    counts.Add(static_cast<CheckRule>(i), count);
  }
  int64_t size = 0;
  if (!in.Int(&size) || size < 0 || size > static_cast<int64_t>(kKept) || size > counts.Total()) {
    return false;
  }
  findings.resize(static_cast<size_t>(size));
  for (CheckFinding& f : findings) {
    int64_t rule = 0;
    int64_t journal = 0;
    if (!in.Int(&rule) || rule < 0 || rule >= static_cast<int64_t>(kCheckRuleCount) ||
        !in.Int(&journal) || journal < INT32_MIN || journal > INT32_MAX || !in.Text(&f.source) ||
        !in.Text(&f.item) || !in.Text(&f.what) || !in.Text(&f.todo)) {
      return false;
    }
    f.rule = static_cast<CheckRule>(rule);
    f.journal = static_cast<int32_t>(journal);
  }
  return in.AtEnd();
}

StoredFindings::Stamp StoredFindings::Take(sqlite3* db, int32_t dataNo) {
  Stamp stamp;
  // The version first: a commit after it, even between the reads below,
  // moves it.
  stamp.dataVersion = DataVersion(db);
  stamp.ownChanges = sqlite3_total_changes64(db);
  stamp.headRead = HeadDigest(db, dataNo, &stamp.head);
  stamp.changes = Changes(db, dataNo);
  stamp.epoch = Epoch(db, dataNo);
  return stamp;
}

bool StoredFindings::Read(sqlite3* db, int32_t dataNo, int startMonth, int endMonth) {
  int64_t head = 0;
  if (!HeadDigest(db, dataNo, &head)) return false;
  // One statement, one snapshot: the findings, the changes counted since
  // and the state of the derived data. Without the tables (no check kept
  // any) the statement does not prepare.
  SqlStatement read(db,
                    "SELECT f.findings FROM main.check_findings AS f, "
                    "main.journal_derived_state AS s WHERE f.data_no = ?1 AND f.start_month = ?2 "
                    "AND f.end_month = ?3 AND f.rules = ?4 AND f.changes = coalesce((SELECT "
                    "c.changes FROM main.check_findings_change AS c WHERE c.data_no = ?1), 0) "
                    "AND f.head = ?5 AND s.data_no = ?1 AND s.built = 1 AND s.overflow = 0");
  if (!read.ok()) return false;
  read.Bind(1, dataNo).Bind(2, startMonth).Bind(3, endMonth).Bind(4, kRules).Bind(5, head);
  if (!read.Row()) return false;
  return Decode(read.Blob(0));
}

bool StoredFindings::ReadParts(sqlite3* db, int32_t dataNo, int startMonth, int endMonth,
                               int64_t head, std::string* parts) {
  SqlStatement read(db, (std::string("SELECT p.parts FROM main.check_parts AS p, "
                                      "main.journal_derived_state AS s WHERE p.data_no = ?1 AND "
                                      "p.start_month = ?2 AND p.end_month = ?3 AND p.rules = ?4 "
                                      "AND p.head = ?5 AND p.epoch = ") +
                              kEpochSql + " AND s.data_no = ?1 AND s.built = 1 AND s.overflow = 0")
                                 .c_str());
  if (!read.ok()) return false;
  read.Bind(1, dataNo).Bind(2, startMonth).Bind(3, endMonth).Bind(4, kRules).Bind(5, head);
  if (!read.Row()) return false;
  *parts = read.Blob(0);
  return true;
}

void StoredFindings::ChunkChanges(sqlite3* db, int32_t dataNo,
                                  std::unordered_map<int64_t, int64_t>* changes) {
  changes->clear();
  SqlStatement rows(db, "SELECT chunk_no, changes FROM main.check_chunk_change WHERE data_no = ?");
  if (!rows.ok()) return;
  rows.Bind(1, dataNo);
  while (rows.Row()) (*changes)[rows.Int(0)] = rows.Int(1);
}

bool StoredFindings::Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth,
                           const Stamp& stamp) const {
  return Write(db, dataNo, startMonth, endMonth, stamp, std::string());
}

bool StoredFindings::Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth,
                           const Stamp& stamp, const std::string& parts) const {
  bool ignored = false;
  return Write(db, dataNo, startMonth, endMonth, stamp, parts, {}, &ignored);
}

bool StoredFindings::Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth,
                           const Stamp& stamp, const std::string& parts,
                           const std::function<bool()>& alongside, bool* alongsideWritten) const {
  *alongsideWritten = false;
  if (!stamp.headRead || (stamp.changes < 0 && stamp.dataVersion < 0) ||
      sqlite3_db_readonly(db, "main") != 0 || ReadScope::StatementActive(db)) {
    return false;
  }
  ReadScope::Release(db);
  if (sqlite3_get_autocommit(db) == 0) return false;  // inside a caller's transaction
  sqlite3_busy_timeout(db, 0);
  bool kept = false;
  if (RunSql(db, "BEGIN IMMEDIATE")) {
    // Nothing committed by any connection since the stamp (the version
    // read under the write lock, before this transaction's own rows).
    const bool unmoved = stamp.dataVersion >= 0 && DataVersion(db) == stamp.dataVersion &&
                         sqlite3_total_changes64(db) == stamp.ownChanges;
    NoteBenignCommit(db);  // findings are none of what a kept check is made of
    // The findings' part is undone alone when they cannot be kept, so that
    // the caller's rows still go in.
    bool ok = (!alongside || RunSql(db, "SAVEPOINT findings")) && RunSql(db, kTableSql) &&
              RunSql(db, kChangesSql) && RunSql(db, kPartsTableSql) &&
              RunSql(db, kChunkChangesSql);
    for (size_t i = 0; ok && i < std::size(kSources); ++i) {
      // The triggers before these counted the data set alone.
      ok = RunSql(db, ("DROP TRIGGER IF EXISTS main.check_findings_" + std::to_string(i)).c_str()) &&
           RunSql(db, TriggerSql(kSources[i], i).c_str());
    }
    // Under the write lock: nothing the findings are made of changed since
    // the stamp (before any check kept findings, no other connection wrote).
    const int64_t changes = unmoved && stamp.changes >= 0 ? stamp.changes : Changes(db, dataNo);
    int64_t head = stamp.head;
    ok = ok && (unmoved || (HeadDigest(db, dataNo, &head) && head == stamp.head &&
                            (stamp.changes >= 0 ? changes == stamp.changes
                                                : DataVersion(db) == stamp.dataVersion)));
    if (ok) {
      // A data set keeps a few ranges: past them, the ones it had go, as do
      // those of data sets no longer there.
      SqlStatement ranges(db, "SELECT count(*) FROM check_findings WHERE data_no = ?");
      ranges.Bind(1, dataNo);
      ok = ranges.Row();
      if (ok && ranges.Int(0) >= kRangesPerDataSet) {
        ok = SqlStatement(db, "DELETE FROM check_findings WHERE data_no = ?").Bind(1, dataNo).Run() &&
             SqlStatement(db, "DELETE FROM check_parts WHERE data_no = ?").Bind(1, dataNo).Run();
      }
      ok = ok &&
           RunSql(db,
                  "DELETE FROM check_findings WHERE data_no NOT IN (SELECT data_no FROM "
                  "data_set)") &&
           RunSql(db, "DELETE FROM check_parts WHERE data_no NOT IN (SELECT data_no FROM data_set)");
    }
    // Parts kept before stay without new ones: each stands for its chunk
    // only while the chunk's count of changes is what it was.
    // A row kept before is updated in place: when its blob keeps its size,
    // SQLite writes (and journals) only the pages whose bytes changed, a
    // page or two of the parts after a line's change instead of all of them.
    if (ok && !parts.empty()) {
      const int64_t epoch = unmoved && stamp.epoch >= 0 ? stamp.epoch : Epoch(db, dataNo);
      SqlStatement update(db,
                          "UPDATE check_parts SET rules = ?, epoch = ?, head = ?, parts = ? "
                          "WHERE data_no = ? AND start_month = ? AND end_month = ?");
      update.Bind(1, kRules).Bind(2, epoch).Bind(3, head).BindBlobInPlace(4, parts);
      update.Bind(5, dataNo).Bind(6, startMonth).Bind(7, endMonth);
      ok = update.Run();
      if (ok && sqlite3_changes(db) == 0) {
        SqlStatement insert(db,
                            "INSERT INTO check_parts (data_no, start_month, end_month, rules, "
                            "epoch, head, parts) VALUES (?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, dataNo).Bind(2, startMonth).Bind(3, endMonth).Bind(4, kRules);
        insert.Bind(5, epoch).Bind(6, head);
        insert.BindBlobInPlace(7, parts);
        ok = insert.Run();
      }
    }
    if (ok) {
      const std::string bytes = Encode();
      SqlStatement update(db,
                          "UPDATE check_findings SET rules = ?, changes = ?, head = ?, "
                          "findings = ? WHERE data_no = ? AND start_month = ? AND end_month = ?");
      update.Bind(1, kRules).Bind(2, changes).Bind(3, head).BindBlobInPlace(4, bytes);
      update.Bind(5, dataNo).Bind(6, startMonth).Bind(7, endMonth);
      ok = update.Run();
      if (ok && sqlite3_changes(db) == 0) {
        SqlStatement insert(
            db,
            "INSERT INTO check_findings (data_no, start_month, "
            "end_month, rules, changes, head, findings) VALUES (?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, dataNo).Bind(2, startMonth).Bind(3, endMonth).Bind(4, kRules).Bind(5,
                                                                                       changes);
        insert.Bind(6, head);
        insert.BindBlobInPlace(7, bytes);
        ok = insert.Run();
      }
    }
    if (alongside) {
      if (!ok) RunSql(db, "ROLLBACK TO findings");
      const bool written = RunSql(db, "RELEASE findings") && alongside();
      *alongsideWritten = written && RunSql(db, "COMMIT");
      kept = ok && *alongsideWritten;
      if (!*alongsideWritten) RunSql(db, "ROLLBACK");
    } else {
      kept = ok && RunSql(db, "COMMIT");
      if (!kept) RunSql(db, "ROLLBACK");
    }
  }
  WaitWhenBusy(db);
  return kept;
}

}  // namespace mvhost
