#include "mvhost/lib/HostStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "mvhost/SchemaSql.h"
#include "mvhost/lib/BusyWait.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/KeptAssets.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

bool MakeDirectories(const std::string& path) {
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!partial.empty() && ::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
        return false;
      }
    }
    if (i < path.size()) partial.push_back(path[i]);
  }
  return true;
}

// Taken once, before SQLite starts; refused (and harmless) when something in
// the process started it already.
// - SQLite gives each page cache (the store's, and every temporary table a
//   sort or grouping opens) a first block of 20 pages that it touches whole;
//   a run opens a dozen such caches. Without the block, pages are allocated
//   as they are used: about 150 fewer page faults, 5 % of a short run's
//   processor time.
// - No memory statistics: each of SQLite's allocations took a global mutex
//   to count itself (2 % of a short run's instructions); nothing reads them.
void ConfigureSqliteOnce() {
  static const bool configured = [] {
    const bool pages = sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0) == SQLITE_OK;
    return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK && pages;
  }();
  static_cast<void>(configured);
}

// A store of at most this size is read through a mapping of its file.
constexpr sqlite3_int64 kMappedStoreBytes = sqlite3_int64{4} << 20;

// SQLite reads a small store's pages through a mapping of the file instead
// of a read into its page cache each: no system call and no fresh page of
// memory per page read (a 1 000-line store's run reads some 60 of its
// pages). A larger store is read as before, so that the pages a long walk
// reads pass through the page cache of a fixed size and never count in the
// run's memory. The mapping covers the store's size at its open; pages past
// it (the store grown since) are read as before.
void MapSmallStore(sqlite3* db, const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || st.st_size <= 0 || st.st_size > kMappedStoreBytes) return;
  RunSql(db, ("PRAGMA mmap_size = " + std::to_string(st.st_size)).c_str(), nullptr);
}

}  // namespace

HostStore::~HostStore() { Close(); }

std::string HostStore::HomeFromEnvironment() {
  const char* home = std::getenv("MVHOST_HOME");
  return home == nullptr ? std::string() : std::string(home);
}

bool HostStore::OpenDatabase(const std::string& home, int flags, std::string* error) {
  Close();
  home_ = home;
  while (home_.size() > 1 && home_.back() == '/') home_.pop_back();
  ConfigureSqliteOnce();
  // One thread uses a connection: SQLite's own locking of it is not needed.
  if (sqlite3_open_v2(DatabasePath().c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    if (error != nullptr) {
      *error = "cannot open " + DatabasePath() + ": " +
               (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
    }
    Close();
    return false;
  }
  WaitWhenBusy(db_);
  MapSmallStore(db_, DatabasePath());
  SqlStatement::KeepStatements(db_);
  return Exec("PRAGMA foreign_keys = ON;", error);
}

bool HostStore::Create(const std::string& home, std::string* error) {
  if (home.empty()) {
    if (error != nullptr) *error = "no host home given (use --home DIR or set MVHOST_HOME)";
    return false;
  }
  if (!MakeDirectories(home + "/folders/out") || !MakeDirectories(home + "/folders/app")) {
    if (error != nullptr) *error = "cannot create the folders of " + home;
    return false;
  }
  if (!OpenDatabase(home, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error)) return false;
  return Exec(kSchemaSql, error) && UpgradeSchema(error);
}

bool HostStore::CreateInMemory(std::string* error) {
  return OpenDatabase("", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY, error) &&
         Exec(kSchemaSql, error);
}

bool HostStore::Open(const std::string& home, std::string* error, bool upgrade) {
  if (home.empty()) {
    if (error != nullptr) *error = "no host home given (use --home DIR or set MVHOST_HOME)";
    return false;
  }
  struct stat st;
  std::string path = home + "/host.db";
  if (::stat(path.c_str(), &st) != 0) {
    if (error != nullptr) *error = "no host store in " + home + " (run mvhost init)";
    return false;
  }
  return OpenDatabase(home, SQLITE_OPEN_READWRITE, error) && (!upgrade || UpgradeSchema(error));
}

namespace {

// What the store has of what this version's schema adds: 2 for all of it,
// -1 when the store cannot be read (its first real query then tells why).
int SchemaAdditions(sqlite3* db) {
  SqlStatement stmt(db,
                    "SELECT (SELECT COUNT(*) FROM pragma_table_info('data_set')"
                    " WHERE name = 'imported_at')"
                    " + (SELECT COUNT(*) FROM sqlite_schema WHERE name = 'run_log')");
  return stmt.Row() ? static_cast<int>(stmt.Int(0)) : -1;
}

}  // namespace

bool HostStore::UpgradeSchema(std::string* error) {
  const int additions = SchemaAdditions(db_);
  if (additions == 2 || additions < 0) return true;
  if (!Exec("BEGIN IMMEDIATE;", error)) return false;
  // Another process may have upgraded it while this one waited.
  bool done = SchemaAdditions(db_) == 2;
  if (!done) {
    SqlStatement column(db_,
                        "SELECT COUNT(*) FROM pragma_table_info('data_set')"
                        " WHERE name = 'imported_at'");
    done =
        column.Row() &&
        (column.Int(0) == 1 ||
         Exec("ALTER TABLE data_set ADD COLUMN imported_at INTEGER NOT NULL DEFAULT 0;", error)) &&
        Exec(kSchemaSql, error);
  }
  if (!done) {
    Exec("ROLLBACK;", nullptr);
    return false;
  }
  return Exec("COMMIT;", error);
}

void HostStore::Close() {
  if (db_ != nullptr) {
    SqlStatement::EndStatements(db_);
    ReadScope::EndSpan(db_);
    JournalDerived::ForgetConnection(db_);
    ForgetKeptAccounts(db_);
    ForgetKeptAssets(db_);
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

bool HostStore::Exec(const char* sql, std::string* error) { return RunSql(db_, sql, error); }

}  // namespace mvhost
