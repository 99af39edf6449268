#include "app/RunTrace.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <system_error>

#include "platform/winfs/WinFileSystem.h"

namespace taxlink {

std::unique_ptr<RunTrace> RunTrace::FromEnvironment() {
  const char* value = std::getenv("TAXLINK_TRACE");
  if (value == nullptr || *value == '\0') return nullptr;
  std::string path = value;
  if (path[0] != '/') {
    // The run moves to the program's folder before it writes.
    char folder[4096];
    if (::getcwd(folder, sizeof(folder)) != nullptr) path = std::string(folder) + "/" + path;
  }
  return std::unique_ptr<RunTrace>(new RunTrace(path));
}

RunOutcome RunTrace::Start(bool taxIncluded, const StDATAINFO& dataSet, const TraceRun& run) {
  recorder_ = std::make_unique<TraceRecorder>(taxIncluded);
  const std::string windowsPath = platform::ToWindowsPath(posixPath_);
  int lineTable = -1;
  if (!windowsPath.empty()) {
    file_ = std::make_unique<TraceFile>(windowsPath);
    if (file_->Begin(dataSet, run)) lineTable = file_->lineTableDescriptor();
  }
  std::string error;
  // The recorder formats and writes on a thread of its own while the walks
  // go on.
  if (!recorder_->Open(&error, lineTable, true)) return RunOutcome::Failed("no trace: " + error);
  return RunOutcome::GoOn();
}

RunOutcome RunTrace::Write(const ReportInputs& inputs, const StDATAINFO& dataSet, TraceRun run,
                           const char* reportPath) {
  const std::string windowsPath = platform::ToWindowsPath(posixPath_);
  if (windowsPath.empty()) {
    return RunOutcome::Failed("the trace file " + posixPath_ +
                              " is on no drive of the drive map (TAXLINK_DRIVES)");
  }
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  char text[32] = {};
  if (::gmtime_r(&now, &utc) != nullptr)
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &utc);
  run.time = text;
  if (!file_) file_ = std::make_unique<TraceFile>(windowsPath);
  const Status written = file_->Write(inputs, dataSet, run, recorder_.get(), reportPath);
  // The recorder is done with (Write finished it): its spools' file is
  // closed while the run goes on to its end.
  if (recorder_) {
    try {
      releasing_ = std::jthread([recorder = std::move(recorder_)]() mutable { recorder.reset(); });
    } catch (const std::system_error&) {
      // No thread: the lambda closed it here.
    }
  }
  if (!written.ok()) return RunOutcome::Failed(std::string(written.message()));
  return RunOutcome::GoOn();
}

}  // namespace taxlink
