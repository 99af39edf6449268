#include "mvhost/lib/RunLog.h"

#include <ctime>

#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

void BindOptional(SqlStatement& stmt, int index, std::optional<int64_t> value) {
  if (value) {
    stmt.Bind(index, *value);
  } else {
    stmt.BindNull(index);
  }
}

void BindTextOrNull(SqlStatement& stmt, int index, const std::string& text) {
  if (text.empty()) {
    stmt.BindNull(index);
  } else {
    stmt.Bind(index, text);
  }
}

}  // namespace

std::string RunLogTimeNow() {
  std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

bool AppendRunLog(sqlite3* db, const RunLogEntry& entry, std::string* error) {
  SqlStatement stmt(db,
                    "INSERT INTO run_log (started_at, user_id, data_no, edition, start_month,"
                    " end_month, method, result, report_path, report_sha256, duration_ms, via)"
                    " VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
  stmt.Bind(1, entry.startedAt).Bind(2, entry.userId);
  BindOptional(stmt, 3, entry.dataNo);
  stmt.Bind(4, entry.edition);
  BindOptional(stmt, 5, entry.startMonth);
  BindOptional(stmt, 6, entry.endMonth);
  BindTextOrNull(stmt, 7, entry.method);
  stmt.Bind(8, entry.result);
  BindTextOrNull(stmt, 9, entry.reportPath);
  BindTextOrNull(stmt, 10, entry.reportSha256);
  stmt.Bind(11, entry.durationMs).Bind(12, entry.via);
  if (stmt.Run()) return true;
  *error = stmt.error();
  return false;
}

bool WriteRunLog(sqlite3* db, const std::vector<RunLogEntry>& entries, std::string* error) {
  if (entries.empty()) return true;
  if (!RunSql(db, "BEGIN IMMEDIATE", error)) return false;
  NoteBenignCommit(db);
  for (const RunLogEntry& entry : entries) {
    if (!AppendRunLog(db, entry, error)) {
      RunSql(db, "ROLLBACK");
      return false;
    }
  }
  if (RunSql(db, "COMMIT", error)) return true;
  RunSql(db, "ROLLBACK");
  return false;
}

bool ReadRunLog(sqlite3* db, std::optional<int32_t> dataNo, std::vector<RunLogEntry>* entries,
                std::string* error) {
  SqlStatement stmt(db,
                    "SELECT run_id, started_at, user_id, data_no, edition, start_month, end_month,"
                    " method, result, report_path, report_sha256, duration_ms, via FROM run_log"
                    " WHERE ?1 IS NULL OR data_no = ?1 ORDER BY run_id");
  BindOptional(stmt, 1, dataNo);
  entries->clear();
  while (stmt.Row()) {
    RunLogEntry entry;
    entry.runId = stmt.Int(0);
    entry.startedAt = stmt.Text(1);
    entry.userId = stmt.Text(2);
    if (!stmt.IsNull(3)) entry.dataNo = static_cast<int32_t>(stmt.Int(3));
    entry.edition = stmt.Text(4);
    if (!stmt.IsNull(5)) entry.startMonth = static_cast<int>(stmt.Int(5));
    if (!stmt.IsNull(6)) entry.endMonth = static_cast<int>(stmt.Int(6));
    entry.method = stmt.Text(7);
    entry.result = stmt.Text(8);
    entry.reportPath = stmt.Text(9);
    entry.reportSha256 = stmt.Text(10);
    entry.durationMs = stmt.Int(11);
    entry.via = stmt.Text(12);
    entries->push_back(std::move(entry));
  }
  if (!stmt.error().empty()) {
    *error = stmt.error();
    return false;
  }
  return true;
}

}  // namespace mvhost
