#include "mvhost/lib/ReadScope.h"

#include <algorithm>
#include <vector>

#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The connections whose open transaction a scope began (one or two open at
// once: the session's store, a test's or the tool's).
std::vector<sqlite3*>& Holders() {
  static auto* holders = new std::vector<sqlite3*>();
  return *holders;
}

// The connection a span is open on (one at a time: the services' store).
sqlite3*& SpanDb() {
  static sqlite3* db = nullptr;
  return db;
}

// Begins a read transaction that a scope or the span holds.
bool BeginHeld(sqlite3* db) {
  if (sqlite3_get_autocommit(db) == 0 || ReadScope::StatementActive(db)) return false;
  if (!RunSql(db, "BEGIN")) return false;
  Holders().push_back(db);
  return true;
}

// Ends a read transaction. COMMIT of a read transaction fails only when the
// connection is unusable; the rollback then still leaves autocommit mode.
void End(sqlite3* db) {
  if (sqlite3_get_autocommit(db) == 0 && !RunSql(db, "COMMIT")) RunSql(db, "ROLLBACK");
}

}  // namespace

void ReadScope::Begin(sqlite3* db) {
  if (db_ != nullptr || db == nullptr) return;
  // Inside a span the transaction is the span's: begun here when a write
  // ended it, left open when the scope ends.
  if (InSpan(db)) {
    BeginHeld(db);
    return;
  }
  if (BeginHeld(db)) db_ = db;
}

void ReadScope::BeginSpan(sqlite3* db) {
  if (db == nullptr) return;
  if (SpanDb() != nullptr && SpanDb() != db) EndSpan(SpanDb());
  SpanDb() = db;
  BeginHeld(db);
}

void ReadScope::EndSpan(sqlite3* db) {
  if (db == nullptr || SpanDb() != db) return;
  SpanDb() = nullptr;
  Release(db);
}

void ReadScope::EndOpenSpan() { EndSpan(SpanDb()); }

bool ReadScope::InSpan(sqlite3* db) { return db != nullptr && SpanDb() == db; }

ReadScope::~ReadScope() {
  if (db_ != nullptr) Release(db_);
}

bool ReadScope::Held(sqlite3* db) {
  const std::vector<sqlite3*>& holders = Holders();
  return std::find(holders.begin(), holders.end(), db) != holders.end();
}

void ReadScope::Release(sqlite3* db) {
  std::vector<sqlite3*>& holders = Holders();
  auto held = std::find(holders.begin(), holders.end(), db);
  if (held == holders.end()) return;
  holders.erase(held);
  End(db);
}

bool ReadScope::StatementActive(sqlite3* db) {
  for (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr); stmt != nullptr;
       stmt = sqlite3_next_stmt(db, stmt)) {
    if (sqlite3_stmt_busy(stmt) != 0) return true;
  }
  return false;
}

}  // namespace mvhost
