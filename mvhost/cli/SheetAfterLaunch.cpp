#include "mvhost/cli/SheetAfterLaunch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mvhost/cli/RunTranscript.h"
#include "platform/PathMapping.h"

namespace mvhost {

namespace {

constexpr char kTranscriptVariable[] = "TAXLINK_UI_TRANSCRIPT";

}  // namespace

SheetAfterLaunch::~SheetAfterLaunch() {
  if (!ownFolder_.empty()) {
    ::unlink(transcript_.c_str());
    ::rmdir(ownFolder_.c_str());
  }
}

bool SheetAfterLaunch::Prepare(std::string* error) {
  const char* set = std::getenv(kTranscriptVariable);
  if (set != nullptr && *set != '\0') {
    transcript_ = set;
    return true;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/mvhost-sheet-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    *error = "cannot create a folder for the run's transcript: " + std::string(std::strerror(errno));
    return false;
  }
  ownFolder_ = buffer.data();
  transcript_ = ownFolder_ + "/transcript.jsonl";
  ::setenv(kTranscriptVariable, transcript_.c_str(), 1);
  return true;
}

bool SheetAfterLaunch::Write(const std::string& sheetProgram, std::string* sheetPath,
                             std::string* error) {
  const RunTranscript run = RunTranscript::Read(transcript_);
  const std::string windowsPath = run.conditions ? run.conditions->windowsPath : std::string();
  if (windowsPath.empty()) {
    *error = "the run's transcript " + transcript_ + " names no output path";
    return false;
  }
  const std::optional<std::string> report = platform::MapUtf8WindowsPath(windowsPath);
  if (!report) {
    *error = "the output path " + windowsPath + " is on no mapped drive (" +
             platform::DriveMapSetting() + ")";
    return false;
  }

  // taxlink-sheet prints the path of the sheet it wrote on standard output;
  // its refusals go to standard error as they are.
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) {
    *error = std::string("cannot start taxlink-sheet: ") + std::strerror(errno);
    return false;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    *error = std::string("cannot start taxlink-sheet: ") + std::strerror(errno);
    return false;
  }
  if (child == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    std::vector<char*> argv = {const_cast<char*>(sheetProgram.c_str()),
                               const_cast<char*>(report->c_str()), nullptr};
    ::execv(sheetProgram.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  std::string printed;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    printed.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = WIFEXITED(status) && WEXITSTATUS(status) == 127
                 ? "cannot start " + sheetProgram
                 : "taxlink-sheet refused the report " + *report;
    return false;
  }
  *sheetPath = printed.substr(0, printed.find('\n'));
  return true;
}

}  // namespace mvhost
