#include "mvhost/lib/SqlStatement.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"

namespace mvhost {

int32_t SqlFailure(int sqliteCode) { return kErrSqlBase - (sqliteCode & 0xFF); }

namespace {

// The idle prepared statements of each caching connection, by SQL text.
using StatementCache = std::unordered_multimap<std::string, sqlite3_stmt*>;

// The caches of every caching connection of the process. Connections of
// other threads (the batch's check beside the program) are kept and ended
// while this thread looks its own up, so the map itself is locked; a
// connection's own cache is used by the one thread that uses it, and stays
// where it is while other entries come and go.
struct CacheMap {
  std::mutex lock;
  std::unordered_map<sqlite3*, StatementCache> caches;
};

CacheMap& Caches() {
  static auto* map = new CacheMap();
  return *map;
}

// The cache of a caching connection; null for any other.
StatementCache* CacheOf(sqlite3* db) {
  CacheMap& map = Caches();
  std::lock_guard<std::mutex> held(map.lock);
  auto found = map.caches.find(db);
  return found != map.caches.end() ? &found->second : nullptr;
}

}  // namespace

void SqlStatement::KeepStatements(sqlite3* db) {
  if (db == nullptr) return;
  CacheMap& map = Caches();
  std::lock_guard<std::mutex> held(map.lock);
  map.caches.emplace(db, StatementCache());
}

void SqlStatement::EndStatements(sqlite3* db) {
  StatementCache idle;
  {
    CacheMap& map = Caches();
    std::lock_guard<std::mutex> held(map.lock);
    auto found = map.caches.find(db);
    if (found == map.caches.end()) return;
    idle = std::move(found->second);
    map.caches.erase(found);
  }
  for (auto& [sql, stmt] : idle) sqlite3_finalize(stmt);
}

SqlStatement::SqlStatement(sqlite3* db, const char* sql) : purpose_(nullptr) {
  int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    Failure(rc, db);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

SqlStatement::~SqlStatement() { Finalize(); }

int32_t SqlStatement::Prepare(sqlite3* db, const std::string& sql, const char* purpose) {
  Finalize();
  purpose_ = purpose;
  if (db == nullptr) return kErrNoStore;
  if (StatementCache* cache = CacheOf(db); cache != nullptr) {
    db_ = db;
    sql_ = sql;
    auto idle = cache->find(sql);
    if (idle != cache->end()) {
      stmt_ = idle->second;
      cache->erase(idle);
      return 0;
    }
  }
  int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                              db_ != nullptr ? SQLITE_PREPARE_PERSISTENT : 0, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    int32_t status = Failure(rc, db);
    Finalize();
    return status;
  }
  return 0;
}

int32_t SqlStatement::Failure(int sqliteCode, sqlite3* db) {
  int32_t status = SqlFailure(sqliteCode);
  error_ = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(sqliteCode);
  if (purpose_ != nullptr) {
    AppendErrorLog("code=" + std::to_string(status) + " purpose=\"" + purpose_ + "\" sqlite=\"" +
                   error_ + "\"");
  }
  return status;
}

SqlStatement& SqlStatement::Bind(int index, int64_t value) {
  if (stmt_ != nullptr) BindInt(index, value);
  return *this;
}

SqlStatement& SqlStatement::Bind(int index, const std::string& text) {
  if (stmt_ != nullptr) BindText(index, text);
  return *this;
}

SqlStatement& SqlStatement::BindNull(int index) {
  if (stmt_ != nullptr) sqlite3_bind_null(stmt_, index);
  return *this;
}

SqlStatement& SqlStatement::BindBlob(int index, const std::vector<uint8_t>& blob) {
  if (stmt_ != nullptr) {
    sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

bool SqlStatement::Row() { return stmt_ != nullptr && Step() == 1; }

bool SqlStatement::Run() {
  if (stmt_ == nullptr) return false;
  bool done = Step() >= 0;
  Reset();
  return done;
}

std::vector<uint8_t> SqlStatement::BlobBytes(int column) const {
  std::string_view bytes = BlobView(column);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void SqlStatement::BindInt(int index, int64_t value) {
  sqlite3_bind_int64(stmt_, index, static_cast<sqlite3_int64>(value));
}

void SqlStatement::BindText(int index, const std::string& value) {
  sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void SqlStatement::BindBlob(int index, const std::string& bytes) {
  sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void SqlStatement::BindBlobInPlace(int index, const std::string& bytes) {
  sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

void SqlStatement::BindAll(int first, const std::vector<int64_t>& values) {
  for (size_t i = 0; i < values.size(); ++i) BindInt(first + static_cast<int>(i), values[i]);
}

int32_t SqlStatement::Step() {
  if (stmt_ == nullptr) return kErrNotReady;
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return 1;
  if (rc == SQLITE_DONE) return 0;
  return Failure(rc, sqlite3_db_handle(stmt_));
}

int64_t SqlStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqlStatement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  if (text == nullptr) return std::string();
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string SqlStatement::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  if (data == nullptr) return std::string();
  return std::string(static_cast<const char*>(data),
                     static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string_view SqlStatement::BlobView(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  if (data == nullptr) return std::string_view();
  return std::string_view(static_cast<const char*>(data),
                          static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

bool SqlStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool SqlStatement::IsInteger(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}

bool SqlStatement::IntegerAt(int column, int64_t* value) const {
  sqlite3_value* cell = sqlite3_column_value(stmt_, column);
  const bool integer = sqlite3_value_type(cell) == SQLITE_INTEGER;
  *value = sqlite3_value_int64(cell);
  return integer;
}

int SqlStatement::Type(int column) const { return sqlite3_column_type(stmt_, column); }

void SqlStatement::Reset() {
  if (stmt_ != nullptr) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
}

void SqlStatement::Finalize() {
  if (stmt_ != nullptr) {
    StatementCache* cache = db_ != nullptr ? CacheOf(db_) : nullptr;
    if (cache != nullptr) {
      // Kept for the next Prepare of the same text, reset and unbound.
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
      cache->emplace(std::move(sql_), stmt_);
    } else {
      sqlite3_finalize(stmt_);
    }
    stmt_ = nullptr;
  }
  db_ = nullptr;
  sql_.clear();
}

bool RunSql(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK;
  if (!ok && error != nullptr) *error = message != nullptr ? message : "SQLite error";
  sqlite3_free(message);
  return ok;
}

int32_t QueryInt(sqlite3* db, const char* purpose, const std::string& sql,
                 const std::vector<int64_t>& values, int64_t* out) {
  SqlStatement stmt;
  int32_t status = stmt.Prepare(db, sql, purpose);
  if (status != 0) return status;
  stmt.BindAll(1, values);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  *out = step == 1 ? stmt.Int(0) : 0;
  return 0;
}

}  // namespace mvhost
