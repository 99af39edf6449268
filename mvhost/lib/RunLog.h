#ifndef TAXLINK_MVHOST_RUNLOG_H_
#define TAXLINK_MVHOST_RUNLOG_H_

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mvhost {

// One launch of a program, as the store's run_log keeps it. Texts are UTF-8.
struct RunLogEntry {
  int64_t runId = 0;      // given by the store
  std::string startedAt;  // UTC, 2015-05-20T05:03:07Z
  std::string userId;     // empty: none known
  std::optional<int32_t> dataNo;
  std::string edition;
  std::optional<int> startMonth;  // the conditions the run took, when it
  std::optional<int> endMonth;    // took any
  std::string method;             // journals, saved, or empty
  std::string result;             // written, stopped, failed, no-result
  std::string reportPath;         // empty: no report written
  std::string reportSha256;
  int64_t durationMs = 0;
  std::string via;  // launch or batch
};

// Appends one entry (its runId is ignored) inside the caller's write
// transaction; false with SQLite's message.
bool AppendRunLog(sqlite3* db, const RunLogEntry& entry, std::string* error);

// Appends the entries (their runIds are ignored) in one write transaction of
// their own, waiting as the connection's busy timeout says; false with
// SQLite's message and nothing written. The kept checks of the derived data
// stand after it: a run log is none of what they are made of.
bool WriteRunLog(sqlite3* db, const std::vector<RunLogEntry>& entries, std::string* error);

// The entries in the order they were made, of one data set when dataNo is
// given.
bool ReadRunLog(sqlite3* db, std::optional<int32_t> dataNo, std::vector<RunLogEntry>* entries,
                std::string* error);

// The time of now as run_log writes it.
std::string RunLogTimeNow();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_RUNLOG_H_
