#ifndef TAXLINK_MVHOST_CLI_LAUNCHRUNLOG_H_
#define TAXLINK_MVHOST_CLI_LAUNCHRUNLOG_H_

#include <cstdint>
#include <optional>
#include <string>

#include "mvhost/cli/RunTranscript.h"
#include "mvhost/lib/RunLog.h"

namespace mvhost {

class HostStore;

// What a launch knows of its run when the program has ended.
struct LaunchRecord {
  std::string home;  // empty: MVHOST_HOME
  std::string edition;
  std::string via;  // launch or batch
  std::string startedAt;
  int64_t durationMs = 0;
  std::optional<int32_t> result;              // the posted result; none: nothing posted
  std::optional<TakenConditions> conditions;  // from the run's transcript
};

// The name the run log gives a posted result (none: "no-result").
std::string RunResultName(std::optional<int32_t> result);

// The report of a written run as the run log read it.
struct LoggedReport {
  std::string path;  // POSIX; empty: none was read
  std::string bytes;
  std::string sha256;
};

// Writes the run into the home's run log: the user and data set it acted
// for (MVHOST_USER and MVHOST_DATA_NO, else the current user and the
// selection), the conditions and report path the transcript gave, and the
// report's SHA-256. False with the reason when the log cannot be written;
// a launch without a home logs nothing and succeeds. `store`, when given,
// is the connection to write through: opened here when it is not yet, and
// left open for the caller's further reads (the sheet's check). `report`,
// when given, gets the report it read.
bool RecordLaunch(const LaunchRecord& record, std::string* error, HostStore* store = nullptr,
                  LoggedReport* report = nullptr);

// The run log's entry of the run as RecordLaunch writes it, but for the
// user and the data set, which the caller gives; `report` as there.
RunLogEntry LaunchEntry(const LaunchRecord& record, LoggedReport* report = nullptr);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_LAUNCHRUNLOG_H_
