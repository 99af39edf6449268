#include "mvhost/cli/LaunchRunLog.h"

#include <fstream>
#include <sstream>

#include "mvhost/cli/RunTranscript.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/RunLog.h"
#include "platform/winfs/PathMapping.h"
#include "trace/Sha256.h"

namespace mvhost {

std::string RunResultName(std::optional<int32_t> result) {
  if (!result) return "no-result";
  switch (*result) {
    case 0:
      return "written";
    case 1:
      return "stopped";
    default:
      return "failed";
  }
}

RunLogEntry LaunchEntry(const LaunchRecord& record, LoggedReport* logged) {
  RunLogEntry entry;
  entry.startedAt = record.startedAt;
  entry.edition = record.edition;
  entry.via = record.via;
  entry.durationMs = record.durationMs;
  entry.result = RunResultName(record.result);
  if (record.conditions) {
    entry.startMonth = record.conditions->startMonth;
    entry.endMonth = record.conditions->endMonth;
    entry.method = record.conditions->method;
    if (record.result == 0) {
      if (auto report = platform::MapUtf8WindowsPath(record.conditions->windowsPath)) {
        std::ifstream in(*report, std::ios::binary);
        if (in) {
          std::ostringstream bytes;
          bytes << in.rdbuf();
          entry.reportPath = *report;
          std::string read = std::move(bytes).str();
          entry.reportSha256 = taxlink::Sha256Hex(read);
          if (logged != nullptr) {
            logged->path = *report;
            logged->bytes = std::move(read);
            logged->sha256 = entry.reportSha256;
          }
        }
      }
    }
  }
  return entry;
}

bool RecordLaunch(const LaunchRecord& record, std::string* error, HostStore* given,
                  LoggedReport* logged) {
  const std::string home = record.home.empty() ? HostStore::HomeFromEnvironment() : record.home;
  if (home.empty()) return true;
  HostStore own;
  HostStore& store = given != nullptr ? *given : own;
  if (store.db() == nullptr && !store.Open(home, error)) return false;

  RunLogEntry entry = LaunchEntry(record, logged);
  std::string user;
  if (HostSession::CurrentUser(store.db(), &user) == 0) {
    entry.userId = user;
    int32_t dataNo = 0;
    if (HostSession::SelectedDataNo(store.db(), &dataNo) == 0) entry.dataNo = dataNo;
  }
  return WriteRunLog(store.db(), {entry}, error);
}

}  // namespace mvhost
