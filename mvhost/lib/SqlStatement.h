#ifndef TAXLINK_MVHOST_SQLSTATEMENT_H_
#define TAXLINK_MVHOST_SQLSTATEMENT_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvhost {

// A prepared SQLite statement with positional parameters (1-based) and
// columns (0-based). Every value reaches SQLite through a bind, never
// through the SQL text. Two ways to use it:
// - the host's services: Prepare with a purpose, Step; a failure to prepare
//   or to step (a damaged page, a store locked by another process, a full
//   disk) is returned as a host status and written to the host's error log
//   with the statement's purpose;
// - the data import, the export and the mvhost tool: the constructor
//   prepares, Row and Run step, and a failure keeps SQLite's message in
//   error() for the caller to report (nothing goes to the error log).
//
// On a connection that keeps a statement cache (KeepStatements), a finished
// statement is kept prepared and handed to the next Prepare of the same SQL:
// preparing costs tens of microseconds, more than many of the host's queries,
// and the aggregation asks some of them once per account.
class SqlStatement {
 public:
  // Starts and ends the statement cache of a connection; EndStatements
  // finalizes what it holds and must come before the connection is closed.
  static void KeepStatements(sqlite3* db);
  static void EndStatements(sqlite3* db);

  SqlStatement() = default;
  SqlStatement(sqlite3* db, const char* sql);
  ~SqlStatement();
  SqlStatement(const SqlStatement&) = delete;
  SqlStatement& operator=(const SqlStatement&) = delete;

  // Prepares sql on db; a host status (0 or an SQLite failure code).
  // purpose says what the statement is for ("sum the tax return").
  int32_t Prepare(sqlite3* db, const std::string& sql, const char* purpose);
  void BindInt(int index, int64_t value);  // 1-based
  void BindText(int index, const std::string& value);
  void BindBlob(int index, const std::string& bytes);
  // Without a copy: `bytes` must stay as they are until the statement is
  // finalized (a large blob written once).
  void BindBlobInPlace(int index, const std::string& bytes);
  // Binds values to the parameters from index first on.
  void BindAll(int first, const std::vector<int64_t>& values);

  // 1 with a row, 0 at the end, an SQLite failure code otherwise.
  int32_t Step();
  int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;
  // The bytes of a blob column without a copy: valid until the next Step,
  // Reset or Finalize.
  std::string_view BlobView(int column) const;
  bool IsNull(int column) const;
  bool IsInteger(int column) const;
  // Whether the column holds an integer, and its value as Int gives it:
  // one call into SQLite where IsInteger and Int make two.
  bool IntegerAt(int column, int64_t* value) const;
  // SQLITE_INTEGER, SQLITE_FLOAT, ...: the value's type before any read
  // converts it.
  int Type(int column) const;
  void Reset();
  void Finalize();
  bool IsPrepared() const { return stmt_ != nullptr; }

  // The import's, export's and tool's use.
  bool ok() const { return stmt_ != nullptr; }
  const std::string& error() const { return error_; }
  SqlStatement& Bind(int index, int64_t value);
  SqlStatement& Bind(int index, const std::string& text);
  SqlStatement& BindNull(int index);
  SqlStatement& BindBlob(int index, const std::vector<uint8_t>& blob);
  // One step: true for a row; false when done (error() tells a failure).
  bool Row();
  // Runs a statement that returns no row, then resets it for the next use.
  bool Run();
  std::vector<uint8_t> BlobBytes(int column) const;

 private:
  int32_t Failure(int sqliteCode, sqlite3* db);

  sqlite3_stmt* stmt_ = nullptr;
  sqlite3* db_ = nullptr;
  std::string sql_;           // the cache's key, on a caching connection
  const char* purpose_ = "";  // null: failures are kept in error_ only
  std::string error_;
};

// The host status of an SQLite result code (kErrSqlBase - primary code).
int32_t SqlFailure(int sqliteCode);

// Runs SQL without results, quietly (nothing is logged); false on failure,
// with SQLite's message in *error when given.
bool RunSql(sqlite3* db, const char* sql, std::string* error = nullptr);

// Runs a query that yields one integer (0 when it yields no row).
int32_t QueryInt(sqlite3* db, const char* purpose, const std::string& sql,
                 const std::vector<int64_t>& values, int64_t* out);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SQLSTATEMENT_H_
