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
//
// A span (BeginSpan .. EndSpan) stretches one read transaction over many
// services that run without waiting on the user (the aggregation's passes),
// so that each service, and each statement outside a service, takes no lock
// cycle of its own: the scopes inside it begin the transaction when none is
// open and leave it open. A write inside the span still ends it first (the
// next scope begins another); EndSpan, a message the host shows and the
// store's close end the span.
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
  // Opens a span on db and begins its transaction (when db is in autocommit
  // mode with no statement stepping).
  static void BeginSpan(sqlite3* db);
  // Ends db's span and the transaction it holds, if any.
  static void EndSpan(sqlite3* db);
  // Ends the span open on any connection.
  static void EndOpenSpan();
  // Whether a span is open on db.
  static bool InSpan(sqlite3* db);
  // Whether a statement of db is stepping (a walk).
  static bool StatementActive(sqlite3* db);

 private:
  sqlite3* db_ = nullptr;  // the connection whose transaction this scope began
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_READSCOPE_H_
