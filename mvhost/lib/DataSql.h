#ifndef TAXLINK_MVHOST_DATASQL_H_
#define TAXLINK_MVHOST_DATASQL_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mvhost {

// A prepared SQLite statement for the data import and export: bind by
// position (1-based), Step, read columns (0-based). Failures keep the SQLite
// message in error().
class DataSql {
 public:
  DataSql(sqlite3* db, const char* sql);
  ~DataSql();
  DataSql(const DataSql&) = delete;
  DataSql& operator=(const DataSql&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  const std::string& error() const { return error_; }

  DataSql& Bind(int index, int64_t value);
  DataSql& Bind(int index, const std::string& text);
  DataSql& BindNull(int index);
  DataSql& BindBlob(int index, const std::vector<uint8_t>& blob);

  // One step: true for a row; false when done (check error() for a failure).
  bool Row();
  // Runs a statement that returns no row, then resets it for the next use.
  bool Run();

  int64_t Int(int column) const;
  bool IsNull(int column) const;
  std::string Text(int column) const;
  std::vector<uint8_t> Blob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string error_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATASQL_H_
