#ifndef TAXLINK_MVHOST_HOSTSTORE_H_
#define TAXLINK_MVHOST_HOSTSTORE_H_

#include <sqlite3.h>

#include <string>

namespace mvhost {

// How long a statement waits for another process's lock on the store
// before it fails with SQLITE_BUSY.
constexpr int kBusyWaitMilliseconds = 5000;

// The host home folder (MVHOST_HOME) and the SQLite store inside it:
//   host.db         the store
//   folders/out/    application folder type 0 (default output folder)
//   folders/app/    application folder type 1 (programs' settings files)
//   error.log       the error log of ClMsgMgr::SetLastError
class HostStore {
 public:
  HostStore() = default;
  ~HostStore();
  HostStore(const HostStore&) = delete;
  HostStore& operator=(const HostStore&) = delete;

  // The home from MVHOST_HOME; empty when the variable is not set.
  static std::string HomeFromEnvironment();

  // Creates the home's folders and the store's schema (idempotent).
  bool Create(const std::string& home, std::string* error);
  // Opens an existing store; false when the home has none. With
  // upgrade, a store of an earlier version first gets what this version's
  // schema adds (the tool's run log, the import times); the host's services
  // need none of it and open without, so a locked store costs them one wait.
  bool Open(const std::string& home, std::string* error, bool upgrade = true);
  // Creates an empty store in memory, with no home (a test's store); it
  // ends with Close.
  bool CreateInMemory(std::string* error);
  void Close();

  sqlite3* db() const { return db_; }
  const std::string& home() const { return home_; }
  std::string DatabasePath() const { return home_.empty() ? ":memory:" : home_ + "/host.db"; }

  // Runs SQL without results; false with the SQLite message in error.
  bool Exec(const char* sql, std::string* error);

 private:
  bool OpenDatabase(const std::string& home, int flags, std::string* error);
  // Adds the run log and data_set.imported_at to a store made before them,
  // in one transaction that several processes may race for.
  bool UpgradeSchema(std::string* error);

  sqlite3* db_ = nullptr;
  std::string home_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_HOSTSTORE_H_
