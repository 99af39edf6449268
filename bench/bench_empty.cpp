// The least a program of this kind does: starts with the C++ runtime and
// SQLite loaded, opens the store read-only, reads one value and ends. The
// whole run of a small data set is measured against it (run_bench).
#include <sqlite3.h>

#include <string>

int main(int argc, char** argv) {
  sqlite3* db = nullptr;
  std::string path = argc > 1 ? argv[1] : ":memory:";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return 1;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt) == SQLITE_ROW ? SQLITE_OK : SQLITE_ERROR;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rc == SQLITE_OK ? 0 : 1;
}
