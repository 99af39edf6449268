#ifndef TAXLINK_MVHOST_READSCOPE_H_
#define TAXLINK_MVHOST_READSCOPE_H_

#include <sqlite3.h>

namespace mvhost {

// A read transaction around one host service's statements. Without it each
// statement takes and gives back the store's shared lock on its own, and each
// such cycle costs SQLite a lock, an unlock, a look for a hot journal and a
// read of the change counter (a service of the run makes one to six
// statements). The scope begins only on a connection in autocommit mode with
// no statement stepping, and ends with the service; a walk the service left
// stepping keeps its lock until it ends, as it would without the scope. The
// service never waits on the user inside it.
//
// The derived data's writes (rebuild, fold, a mark for a rebuild) run
// through ExecQuietly and RunQuietly, which call Release first: a write
// finds the connection in autocommit mode, as it would without the scope,
// whichever path reaches it.
class ReadScope {
 public:
  ReadScope() = default;
  explicit ReadScope(sqlite3* db) { Begin(db); }
  ~ReadScope();
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

  // Begins the transaction on db (once; nothing when db is null).
  void Begin(sqlite3* db);

  // Whether a scope holds db's open transaction (so that it is no caller's).
  static bool Held(sqlite3* db);
  // Ends the transaction a scope holds on db, if any.
  static void Release(sqlite3* db);
  // Whether a statement of db is stepping (a walk).
  static bool StatementActive(sqlite3* db);

 private:
  sqlite3* db_ = nullptr;  // the connection whose transaction this scope began
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_READSCOPE_H_
