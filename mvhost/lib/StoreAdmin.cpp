#include "mvhost/lib/StoreAdmin.h"

#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The outcome of a statement that has been stepped to its end.
bool Finished(const SqlStatement& stmt, std::string* error) {
  if (stmt.error().empty()) return true;
  *error = stmt.error();
  return false;
}

// Runs a statement that returns no row.
bool Ran(SqlStatement& stmt, std::string* error) {
  if (stmt.Run()) return true;
  *error = stmt.error();
  return false;
}

}  // namespace

bool ListDataSets(sqlite3* db, std::vector<DataSetListing>* sets, std::string* error,
                  LineCounts lines, const std::vector<int32_t>* only) {
  // The named numbers are integers, written into the statement as such.
  std::string where;
  if (only != nullptr) {
    where = " WHERE d.data_no IN (";
    for (size_t i = 0; i < only->size(); ++i) {
      where += (i == 0 ? "" : ",") + std::to_string((*only)[i]);
    }
    where += ")";
  }
  const std::string count =
      lines == LineCounts::kCounted
          ? "(SELECT COUNT(*) FROM journal_line j WHERE j.data_no = d.data_no)"
          : "0";
  const std::string sql =
      "SELECT d.data_no, d.data_id, d.company_name, d.period_start, d.period_end, " + count +
      ", d.imported_at, EXISTS (SELECT 1 FROM saved_return r WHERE r.data_no = d.data_no)"
      " FROM data_set d" + where + " ORDER BY d.data_no";
  SqlStatement stmt(db, sql.c_str());
  while (stmt.Row()) {
    sets->push_back({static_cast<int32_t>(stmt.Int(0)), stmt.Text(1), stmt.Text(2),
                     static_cast<int32_t>(stmt.Int(3)), static_cast<int32_t>(stmt.Int(4)),
                     stmt.Int(5), stmt.Int(6), stmt.Int(7) != 0});
  }
  return Finished(stmt, error);
}

bool ListUsers(sqlite3* db, std::vector<UserListing>* users, std::string* error) {
  SqlStatement stmt(db,
                    "SELECT u.user_id, u.name, u.selected_no1, u.selected_data_no,"
                    " COALESCE((SELECT 1 FROM host_state s WHERE s.key = 'current_user'"
                    " AND s.value = u.user_id), 0) FROM app_user u ORDER BY u.user_id");
  while (stmt.Row()) {
    users->push_back({stmt.Text(0), stmt.Text(1), static_cast<int32_t>(stmt.Int(2)),
                      static_cast<int32_t>(stmt.Int(3)), stmt.Int(4) != 0});
  }
  return Finished(stmt, error);
}

bool HoldsDataSet(sqlite3* db, int32_t dataNo) {
  SqlStatement stmt(db, "SELECT 1 FROM data_set WHERE data_no = ?");
  return stmt.Bind(1, dataNo).Row();
}

bool SelectDataSet(sqlite3* db, const std::string& userId, int32_t dataNo, std::string* error) {
  SqlStatement stmt(db,
                    "INSERT INTO app_user (user_id, selected_data_no) VALUES (?, ?)"
                    " ON CONFLICT (user_id) DO UPDATE SET selected_data_no = "
                    "excluded.selected_data_no");
  return Ran(stmt.Bind(1, userId).Bind(2, dataNo), error);
}

bool ReadStateEntries(sqlite3* db, std::vector<std::pair<std::string, std::string>>* entries,
                      std::string* error) {
  SqlStatement stmt(db, "SELECT key, value FROM host_state ORDER BY key");
  while (stmt.Row()) entries->emplace_back(stmt.Text(0), stmt.Text(1));
  return Finished(stmt, error);
}

bool ReadStateEntry(sqlite3* db, const std::string& key, std::optional<std::string>* value,
                    std::string* error) {
  SqlStatement stmt(db, "SELECT value FROM host_state WHERE key = ?");
  if (stmt.Bind(1, key).Row()) {
    *value = stmt.Text(0);
    return true;
  }
  value->reset();
  return Finished(stmt, error);
}

bool WriteStateEntry(sqlite3* db, const std::string& key, const std::string& value,
                     std::string* error) {
  SqlStatement stmt(db,
                    "INSERT INTO host_state (key, value) VALUES (?, ?)"
                    " ON CONFLICT (key) DO UPDATE SET value = excluded.value");
  return Ran(stmt.Bind(1, key).Bind(2, value), error);
}

bool RemoveStateEntry(sqlite3* db, const std::string& key, std::string* error) {
  SqlStatement stmt(db, "DELETE FROM host_state WHERE key = ?");
  return Ran(stmt.Bind(1, key), error);
}

}  // namespace mvhost
