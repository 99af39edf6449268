#include "mvhost/lib/WalkMapping.h"

#include <sys/mman.h>

#include <algorithm>
#include <limits>
#include <string>

#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The mapping the connection asks for (PRAGMA mmap_size); -1 when unknown.
sqlite3_int64 AskedMapping(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_int64 asked = -1;
  if (sqlite3_prepare_v2(db, "PRAGMA mmap_size", -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW) {
    asked = sqlite3_column_int64(stmt, 0);
  }
  sqlite3_finalize(stmt);
  return asked;
}

// The file's mapping limit; -1 when the file does not say (not a file the
// default system layer maps: an in-memory store).
sqlite3_int64 MappingLimit(sqlite3* db) {
  sqlite3_int64 limit = -1;  // a negative limit asks without changing it
  return sqlite3_file_control(db, "main", SQLITE_FCNTL_MMAP_SIZE, &limit) == SQLITE_OK ? limit
                                                                                       : -1;
}

constexpr sqlite3_int64 kMostMapped = std::numeric_limits<int>::max() & ~sqlite3_int64{0xffff};

}  // namespace

void WalkMapping::Begin(sqlite3* db) {
  End();
  releases_ = 0;
  // Mapped already (a small store).
  if (AskedMapping(db) != 0) return;
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
      file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 3 ||
      file->pMethods->xFetch == nullptr || file->pMethods->xUnfetch == nullptr) {
    return;
  }
  sqlite3_int64 size = 0;
  if (file->pMethods->xFileSize(file, &size) != SQLITE_OK || size <= 0) return;
  // At most what one fetch can name (its length is an int), so that the
  // release covers the whole mapping; pages past it are read as before.
  size = std::min(size, kMostMapped);
  // Through the pragma, so that SQLite's pager fetches pages from the mapping.
  if (!RunSql(db, ("PRAGMA mmap_size = " + std::to_string(size)).c_str())) return;
  db_ = db;
  // SQLite may map less than asked (its build's limit), or nothing (no file
  // that its system layer maps: an in-memory store).
  const sqlite3_int64 limit = MappingLimit(db);
  if (limit <= 0) return;
  file_ = file;
  bytes_ = std::min(size, limit);
  pending_ = 0;
}

void WalkMapping::Release() {
  pending_ = 0;
  void* region = nullptr;
  // The whole mapping, found as one fetch of it (SQLite maps the file on the
  // first fetch). The file cannot shrink under the walk's read transaction,
  // so the mapping covers bytes_.
  if (file_->pMethods->xFetch(file_, 0, static_cast<int>(bytes_), &region) != SQLITE_OK ||
      region == nullptr) {
    return;
  }
  // The mapping is shared and read-only: dropping its pages loses nothing, a
  // page touched again is mapped again from the system's cache.
  ::madvise(region, static_cast<std::size_t>(bytes_), MADV_DONTNEED);
  file_->pMethods->xUnfetch(file_, 0, region);
  ++releases_;
}

void WalkMapping::End() {
  if (file_ != nullptr) Release();
  file_ = nullptr;
  if (db_ == nullptr) return;
  RunSql(db_, "PRAGMA mmap_size = 0");
  db_ = nullptr;
}

}  // namespace mvhost
