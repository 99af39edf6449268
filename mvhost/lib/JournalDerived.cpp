#include "mvhost/lib/JournalDerived.h"

#include <time.h>

#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "mvhost/lib/AccountTotalLog.h"
#include "mvhost/lib/BusyWait.h"
#include "mvhost/lib/DerivedChunks.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/DerivedProgress.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/DerivedTotals.h"
#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RebuildLock.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// Lines read per transaction of a rebuild: a fraction of a second, far
// below the busy wait of the others.
constexpr int64_t kBatchLines = int64_t{64} * 1024;
// A rebuild of fewer lines ends too soon to be worth a window.
constexpr int64_t kDisplayLines = 20000;
// Chunks of changed lines a process rewrites, once per data set, when the
// store is free: a change within that many chunks is folded at once, a
// larger one, once it is due (FoldIsDue), over a few runs, each of which
// reads the rest through their notes.
constexpr int64_t kFoldChunksPerProcess = 16;
// A change spread over more chunks than a run folds is carried in its notes
// until they hold this share of the lines: a run merges a note for about
// 4 300 instructions (a sixth more than a normal run at the bound), while a
// chunk's rewrite costs some 0.8 M and the commit's flushes to disk (a 1 %
// change of 100 000 lines: 16 chunks rewritten a run, 12 M instructions,
// against 4 M to merge its 1 000 notes).
constexpr int64_t kLinesPerCarriedNote = 64;
// How often a waiting run looks again.
constexpr long kWaitPollMilliseconds = 100;

bool ReadOnlyFailure(int32_t status) {
  return status == SqlFailure(SQLITE_READONLY) || status == SqlFailure(SQLITE_CANTOPEN) ||
         status == SqlFailure(SQLITE_PERM) || status == SqlFailure(SQLITE_AUTH);
}

// A write whose failure is the caller's to judge (the first write of a
// rebuild, which fails on a store this user may only read): nothing is
// logged. As ExecQuietly, it ends a read transaction a scope holds first.
int32_t RunQuietly(sqlite3* db, const char* sql, const std::vector<int64_t>& values) {
  ReadScope::Release(db);
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  if (rc == SQLITE_OK) {
    for (size_t i = 0; i < values.size(); ++i) {
      sqlite3_bind_int64(stmt, static_cast<int>(i + 1), values[i]);
    }
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) rc = SQLITE_OK;
  }
  sqlite3_finalize(stmt);
  return rc == SQLITE_OK ? 0 : SqlFailure(rc);
}

struct State {
  bool exists = false;
  bool built = false;
  int64_t overflow = 0;  // 1 a total passed 64 bits, 2 one may have
  int64_t progress = 0;
  int64_t progressEnd = 0;
  bool Ready() const { return built && overflow != 2; }
};

int32_t ReadState(sqlite3* db, int32_t dataNo, State* state) {
  *state = State();
  SqlStatement read;
  int32_t status =
      read.Prepare(db,
                   "SELECT built, overflow, progress, progress_end FROM journal_derived_state "
                   "WHERE data_no = ?",
                   "read the state of the derived journal data");
  if (status != 0) return status;
  read.BindInt(1, dataNo);
  int32_t step = read.Step();
  if (step < 0) return step;
  if (step == 1) {
    state->exists = true;
    state->built = read.Int(0) == 1;
    state->overflow = read.Int(1);
    state->progress = read.Int(2);
    state->progressEnd = read.Int(3);
  }
  return 0;
}

int32_t Outcome(const State& state) { return state.overflow != 0 ? kErrOverflow : 0; }

// A transaction the caller opened (an import's): the derived data's writes
// go inside it. The read transaction of a host service's ReadScope is no
// caller's: it ends before any write.
bool InCallersTransaction(sqlite3* db) {
  return sqlite3_get_autocommit(db) == 0 && !ReadScope::Held(db);
}

void Sleep(long milliseconds) {
  timespec pause{0, milliseconds * 1000000L};
  ::nanosleep(&pause, nullptr);
}

// One rebuild of a data set's derived data: the lines read in line order, in
// batches that each end at a chunk boundary, their chunks written and their
// totals gathered in memory; at the end, the lines changed meanwhile are
// folded in and the totals written.
class Rebuilder {
 public:
  enum class Mode {
    kOwnTransactions,  // each batch commits: the others wait a fraction of a second at most
    kNested,           // within the caller's transaction
    kTemp,             // into the connection's temp tables, in one transaction
  };

  Rebuilder(sqlite3* db, int32_t dataNo, Mode mode, bool display)
      : db_(db), dataNo_(dataNo), mode_(mode), display_(display), chunks_(db, dataNo) {}

  int32_t Run() {
    ReadScope::Release(db_);
    int32_t status = Open();
    if (status != 0) return status;
    status = InTransaction([this] { return Start(); });
    bool more = status == 0;
    while (more) {
      status = InTransaction([this, &more] { return Batch(&more); });
      if (status != 0) break;
      if (shown_)
        CurrentRebuildDisplay().Show({static_cast<int32_t>(dataNo_), progress_, last_, false});
    }
    if (status == 0) status = InTransaction([this] { return Finish(); });
    if (shown_) CurrentRebuildDisplay().Close();
    return Close(status);
  }

 private:
  int32_t Open() {
    if (mode_ == Mode::kNested) return ExecQuietly(db_, "SAVEPOINT journal_derived");
    if (mode_ == Mode::kTemp) return ExecQuietly(db_, "BEGIN");
    return 0;
  }

  int32_t Close(int32_t status) {
    if (mode_ == Mode::kNested) {
      if (status != 0) ExecQuietly(db_, "ROLLBACK TO journal_derived");
      ExecQuietly(db_, "RELEASE journal_derived");
    } else if (mode_ == Mode::kTemp) {
      if (status == 0) status = ExecQuietly(db_, "COMMIT");
      if (status != 0) ExecQuietly(db_, "ROLLBACK");
    }
    return status;
  }

  template <class Work>
  int32_t InTransaction(Work work) {
    if (mode_ != Mode::kOwnTransactions) return work();
    int32_t status = ExecQuietly(db_, "BEGIN IMMEDIATE");
    if (status != 0) return status;
    status = work();
    if (status == 0) status = ExecQuietly(db_, "COMMIT");
    if (status != 0) ExecQuietly(db_, "ROLLBACK");
    return status;
  }

  int32_t Start() {
    int64_t last = 0;
    int32_t status =
        QueryInt(db_, "read the journal lines for their derived data",
                 "SELECT max(line_id) FROM journal_line WHERE data_no = ?", {dataNo_}, &last);
    if (status != 0) return status;
    last_ = last;
    // The state first, quietly: on a store this user may only read, this is
    // the write that fails.
    status = RunQuietly(db_,
                        "INSERT INTO journal_derived_state (data_no, overflow, built, progress, "
                        "progress_end) VALUES (?1, 0, 0, 0, ?2) ON CONFLICT (data_no) DO UPDATE "
                        "SET overflow = 0, built = 0, progress = 0, progress_end = ?2",
                        {dataNo_, last_});
    if (status != 0) return status;
    int64_t ignored = 0;
    status = QueryInt(db_, "forget the changes of rebuilt journal lines",
                      "DELETE FROM journal_line_change WHERE data_no = ?", {dataNo_}, &ignored);
    if (status != 0) return status;
    shown_ = display_ && last_ >= kDisplayLines;
    if (shown_) CurrentRebuildDisplay().Show({static_cast<int32_t>(dataNo_), 0, last_, false});
    return 0;
  }

  int32_t Batch(bool* more) {
    *more = false;
    SqlStatement lines;
    int32_t status = lines.Prepare(db_,
                                   std::string("SELECT ") + kPackedColumnsSql +
                                       " FROM journal_line WHERE data_no = ? AND line_id >= ?"
                                       " ORDER BY line_id",
                                   "read the journal lines for their derived data");
    if (status != 0) return status;
    lines.BindAll(1, {dataNo_, from_});
    int64_t read = 0;
    int32_t step = 0;
    while ((step = lines.Step()) == 1) {
      const int64_t id = lines.Int(0);
      if (read >= kBatchLines && ChunkOf(id) != chunks_.chunk()) {
        from_ = FirstLineOf(ChunkOf(id));
        *more = true;
        break;
      }
      if (!SoundPackedColumns(lines, 0)) return UnsoundLine(db_, dataNo_, id);
      const PackedLine line = PackedLineOf(lines, 0);
      totals_.Add(line, 1);
      status = chunks_.Add(id, line);
      if (status != 0) return status;
      progress_ = id;
      ++read;
    }
    if (step < 0) return step;
    lines.Finalize();
    status = chunks_.Flush();
    if (status != 0) return status;
    int64_t ignored = 0;
    return QueryInt(db_, "note the progress of the derived journal data",
                    "UPDATE journal_derived_state SET progress = ? WHERE data_no = ?",
                    {progress_, dataNo_}, &ignored);
  }

  int32_t Finish() {
    int32_t status = chunks_.RemoveRest();
    if (status != 0) return status;
    // Lines changed by others since their batch was read.
    int64_t folded = 0;
    status = FoldChanges(db_, dataNo_, std::numeric_limits<int64_t>::max(), &totals_, &folded);
    if (status != 0) return status;
    status = totals_.Write(db_, dataNo_);
    if (status != 0) return status;
    int64_t ignored = 0;
    return QueryInt(db_, "mark the derived journal data built",
                    "UPDATE journal_derived_state SET built = 1, overflow = ?, "
                    "progress = progress_end WHERE data_no = ?",
                    {totals_.overflow() ? 1 : 0, dataNo_}, &ignored);
  }

  sqlite3* db_;
  int32_t dataNo_;
  Mode mode_;
  bool display_;
  bool shown_ = false;
  ChunkWriter chunks_;
  DerivedTotals totals_;
  int64_t from_ = std::numeric_limits<int64_t>::min();
  int64_t progress_ = 0;
  int64_t last_ = 0;
};

// The derived data in the connection's temp tables, for a user who may
// only read the store.
int32_t EnsureInTemp(sqlite3* db, int32_t dataNo) {
  int32_t status = DerivedSchema::CreateInTemp(db);
  if (status != 0) return status;
  State state;
  status = ReadState(db, dataNo, &state);
  if (status != 0) return status;
  if (!state.Ready()) {
    status = Rebuilder(db, dataNo, Rebuilder::Mode::kTemp, true).Run();
    if (status != 0) return status;
    status = ReadState(db, dataNo, &state);
    if (status != 0) return status;
  }
  return Outcome(state);
}

std::string StorePath(sqlite3* db) {
  const char* path = sqlite3_db_filename(db, "main");
  return path != nullptr ? path : "";
}

// A rebuild by this process, or a wait for the one another process does.
int32_t RebuildShared(sqlite3* db, int32_t dataNo) {
  // Another process's rebuild commits batch by batch: no read transaction
  // of this one may hold it up while this one waits.
  ReadScope::Release(db);
  RebuildLock lock(StorePath(db));
  bool waited = false;
  int32_t status = 0;
  for (;;) {
    State state;
    const bool locked = lock.TryLock(dataNo);
    if (locked || !lock.HeldElsewhere(dataNo)) {
      // This process rebuilds (without the lock when it cannot write the
      // lock file: the store's own locks still keep each step whole).
      status = ReadState(db, dataNo, &state);
      if (status == 0 && !state.Ready()) {
        if (waited) CurrentRebuildDisplay().Close();
        waited = false;
        status = sqlite3_db_readonly(db, "main") == 1
                     ? SqlFailure(SQLITE_READONLY)
                     : Rebuilder(db, dataNo, Rebuilder::Mode::kOwnTransactions, true).Run();
        if (status == 0) status = ReadState(db, dataNo, &state);
      }
      if (locked) lock.Unlock(dataNo);
      break;
    }
    status = ReadState(db, dataNo, &state);
    if (status != 0 || state.Ready()) break;
    CurrentRebuildDisplay().Show({dataNo, state.progress, state.progressEnd, true});
    waited = true;
    Sleep(kWaitPollMilliseconds);
  }
  if (waited) CurrentRebuildDisplay().Close();
  if (ReadOnlyFailure(status)) return EnsureInTemp(db, dataNo);
  if (status != 0) return status;
  State state;
  status = ReadState(db, dataNo, &state);
  return status != 0 ? status : Outcome(state);
}

// Rewrites a few chunks of changed lines, once per process and data set,
// when the store is free at once; the run goes on whatever happens.
std::set<std::pair<sqlite3*, int32_t>>& Folded() {
  static auto* folded = new std::set<std::pair<sqlite3*, int32_t>>();
  return *folded;
}

// Whether the data set's changed lines are folded now: when they lie in no
// more chunks than a run folds, their notes have grown past their share of
// the lines, or the account totals' log is due a trim (done with a fold).
bool FoldIsDue(sqlite3* db, int32_t dataNo) {
  int64_t changed = 0;
  if (QueryInt(db, "look for changed journal lines",
               "SELECT 1 FROM journal_line_change WHERE data_no = ? LIMIT 1", {dataNo},
               &changed) != 0 ||
      changed == 0) {
    return false;
  }
  // The changed chunks counted, up to one past what a run folds.
  ChangedChunks changedChunks;
  if (changedChunks.Open(db, dataNo) != 0) return false;
  int64_t chunks = 0;
  for (int64_t chunk = 0; chunks <= kFoldChunksPerProcess; ++chunks) {
    const int32_t step = changedChunks.Next(&chunk);
    if (step < 0) return false;
    if (step == 0) break;
  }
  if (chunks <= kFoldChunksPerProcess) return true;
  if (AccountTotalLogOverdue(db)) return true;
  int64_t due = 0;
  return QueryInt(db, "look for changed journal lines",
                  "SELECT (SELECT count(*) FROM journal_line_change WHERE data_no = ?1) * " +
                      std::to_string(kLinesPerCarriedNote) +
                      " > (SELECT count(*) FROM journal_chunk WHERE data_no = ?1) * " +
                      std::to_string(kLinesPerChunk),
                  {dataNo}, &due) == 0 &&
         due != 0;
}

void FoldSome(sqlite3* db, int32_t dataNo) {
  if (!Folded().insert({db, dataNo}).second) return;
  if (sqlite3_db_readonly(db, "main") == 1 || ReadScope::StatementActive(db)) return;
  if (!FoldIsDue(db, dataNo)) return;
  sqlite3_busy_timeout(db, 0);
  if (ExecQuietly(db, "BEGIN IMMEDIATE") == 0) {
    int64_t chunks = 0;
    bool folded = FoldChanges(db, dataNo, kFoldChunksPerProcess, nullptr, &chunks) == 0;
    // The log of the account totals is trimmed after the fold: the pages it
    // frees are not taken again by the chunks in the same transaction, whose
    // reuse of pages in use when it began must be journalled. Not while the
    // check kept for the data set can be brought up to date from it (this
    // run's check would read every row), unless it has grown long.
    if (folded) TrimAccountTotalLog(db, [db, dataNo] { return KeptCheckWantsTheLog(db, dataNo); });
    folded = folded && ExecQuietly(db, "COMMIT") == 0;
    if (!folded) ExecQuietly(db, "ROLLBACK");
  }
  WaitWhenBusy(db);
}

// The store's schema version at which a connection last found the tables and
// triggers current: until it moves they are (reading the schema for its
// triggers cost a tenth of a millisecond at each service).
std::map<sqlite3*, int64_t>& CurrentShapes() {
  static auto* shapes = new std::map<sqlite3*, int64_t>();
  return *shapes;
}

// Brings the tables and triggers up to this build's, in a transaction of
// its own or within the caller's.
int32_t MigrateIfNeeded(sqlite3* db) {
  int64_t version = 0;
  int32_t status = QueryInt(db, "read the schema of the derived journal data",
                            "PRAGMA main.schema_version", {}, &version);
  if (status != 0) return status;
  auto known = CurrentShapes().find(db);
  if (known != CurrentShapes().end() && known->second == version) return 0;
  DerivedSchema::Shape shape = DerivedSchema::Shape::kCurrent;
  status = DerivedSchema::Inspect(db, &shape);
  if (status != 0) return status;
  if (shape == DerivedSchema::Shape::kCurrent) {
    CurrentShapes()[db] = version;
    return 0;
  }
  if (sqlite3_db_readonly(db, "main") == 1) return SqlFailure(SQLITE_READONLY);
  const bool own = !InCallersTransaction(db);
  status = ExecQuietly(db, own ? "BEGIN IMMEDIATE" : "SAVEPOINT derived_schema");
  if (status != 0) return status;
  status = DerivedSchema::Migrate(db);
  if (status == 0) status = ExecQuietly(db, own ? "COMMIT" : "RELEASE derived_schema");
  if (status != 0) {
    ExecQuietly(db, own ? "ROLLBACK" : "ROLLBACK TO derived_schema");
    if (!own) ExecQuietly(db, "RELEASE derived_schema");
  }
  return status;
}

// Ensure without the checks of what it finds built.
int32_t EnsureBuilt(sqlite3* db, int32_t dataNo) {
  if (DerivedSchema::UsesTemp(db)) return EnsureInTemp(db, dataNo);
  int32_t status = MigrateIfNeeded(db);
  if (ReadOnlyFailure(status)) return EnsureInTemp(db, dataNo);
  if (status != 0) return status;
  State state;
  status = ReadState(db, dataNo, &state);
  if (status != 0) return status;
  if (state.Ready()) {
    if (!InCallersTransaction(db)) FoldSome(db, dataNo);
    return Outcome(state);
  }
  if (InCallersTransaction(db)) {
    status = JournalDerived::Rebuild(db, dataNo);
    if (status == 0) status = ReadState(db, dataNo, &state);
    return status != 0 ? status : Outcome(state);
  }
  return RebuildShared(db, dataNo);
}

}  // namespace

int32_t JournalDerived::PrepareSchema(sqlite3* db) { return MigrateIfNeeded(db); }

int32_t JournalDerived::Ensure(sqlite3* db, int32_t dataNo) {
  int32_t status = EnsureBuilt(db, dataNo);
  if (status != 0) return status;
  DerivedFinding finding;
  status = CheckDerivedData(db, dataNo, &finding);
  if (status != 0 || finding.problem.empty()) return status;
  if (!finding.mendable) return DamagedDerivedData(db, dataNo, finding.problem, false);
  // Damaged derived data (a store edited or damaged outside the host) are
  // built again from the lines, with the window; what that does not mend
  // fails.
  AppendErrorLog("data set " + std::to_string(dataNo) + ": " + finding.problem +
                 "; the derived journal data are built again");
  status = RunQuietly(db, "UPDATE journal_derived_state SET built = 0 WHERE data_no = ?", {dataNo});
  if (ReadOnlyFailure(status)) {
    status = EnsureInTemp(db, dataNo);
  } else if (status == 0) {
    status = EnsureBuilt(db, dataNo);
  }
  if (status != 0) return status;
  status = CheckDerivedData(db, dataNo, &finding);
  if (status != 0 || finding.problem.empty()) return status;
  return DamagedDerivedData(db, dataNo, finding.problem, false);
}

int32_t JournalDerived::Rebuild(sqlite3* db, int32_t dataNo) {
  const bool nested = InCallersTransaction(db);
  int32_t status = MigrateIfNeeded(db);
  if (status != 0) return status;
  return Rebuilder(db, dataNo,
                   nested ? Rebuilder::Mode::kNested : Rebuilder::Mode::kOwnTransactions, false)
      .Run();
}

void JournalDerived::ForgetConnection(sqlite3* db) {
  ForgetDerivedChecks(db);
  CurrentShapes().erase(db);
  auto& folded = Folded();
  folded.erase(folded.lower_bound({db, std::numeric_limits<int32_t>::min()}),
               folded.upper_bound({db, std::numeric_limits<int32_t>::max()}));
}

int32_t JournalDerived::FoldChanges(sqlite3* db, int32_t dataNo, int64_t maxChunks,
                                    int64_t* chunks) {
  int32_t status = ExecQuietly(db, "BEGIN IMMEDIATE");
  if (status != 0) return status;
  status = mvhost::FoldChanges(db, dataNo, maxChunks, nullptr, chunks);
  if (status == 0) status = ExecQuietly(db, "COMMIT");
  if (status != 0) ExecQuietly(db, "ROLLBACK");
  return status;
}

}  // namespace mvhost
