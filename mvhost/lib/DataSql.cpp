#include "mvhost/lib/DataSql.h"

namespace mvhost {

DataSql::DataSql(sqlite3* db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
    error_ = sqlite3_errmsg(db);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

DataSql::~DataSql() { sqlite3_finalize(stmt_); }

DataSql& DataSql::Bind(int index, int64_t value) {
  if (stmt_ != nullptr) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

DataSql& DataSql::Bind(int index, const std::string& text) {
  if (stmt_ != nullptr) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

DataSql& DataSql::BindNull(int index) {
  if (stmt_ != nullptr) sqlite3_bind_null(stmt_, index);
  return *this;
}

DataSql& DataSql::BindBlob(int index, const std::vector<uint8_t>& blob) {
  if (stmt_ != nullptr) {
    sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

bool DataSql::Row() {
  if (stmt_ == nullptr) return false;
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) error_ = sqlite3_errmsg(db_);
  return false;
}

bool DataSql::Run() {
  if (stmt_ == nullptr) return false;
  int rc = sqlite3_step(stmt_);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) error_ = sqlite3_errmsg(db_);
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

int64_t DataSql::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

bool DataSql::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string DataSql::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  return text == nullptr ? std::string()
                         : std::string(reinterpret_cast<const char*>(text),
                                       static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::vector<uint8_t> DataSql::Blob(int column) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
  int size = sqlite3_column_bytes(stmt_, column);
  return data == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(data, data + size);
}

}  // namespace mvhost
