#include "mvhost/cli/SheetAfterLaunch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "mvhost/cli/RunTranscript.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/SheetFindings.h"
#include "platform/winfs/PathMapping.h"

namespace mvhost {

namespace {

constexpr char kTranscriptVariable[] = "TAXLINK_UI_TRANSCRIPT";

// The findings of the run's data set and months in a file of their own,
// removed with this object.
class FindingsFile {
 public:
  ~FindingsFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  bool Write(const TakenConditions& run, std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/mvhost-findings-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
      *error = std::string("cannot create a file for the check's findings: ") +
               std::strerror(errno);
      return false;
    }
    ::close(fd);
    path_ = buffer.data();
    const std::string json =
        run.startMonth == 0 || run.endMonth == 0
            ? SheetFindingsFailure("the run's transcript names no months")
            : SheetFindingsJson(HostStore::HomeFromEnvironment(), run.startMonth, run.endMonth);
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << json;
    out.flush();
    if (!out) {
      *error = "cannot write the check's findings to " + path_;
      return false;
    }
    return true;
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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

bool SheetAfterLaunch::Write(const std::string& sheetProgram, const std::string& trace,
                             std::string* sheetPath,
                             std::string* error) {
  const std::optional<TakenConditions> taken = RunTranscript::Read(transcript_).conditions;
  const TakenConditions run = taken.value_or(TakenConditions());
  const std::string& windowsPath = run.windowsPath;
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

  FindingsFile findings;
  if (!findings.Write(run, error)) return false;

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
                               const_cast<char*>("--findings"),
                               const_cast<char*>(findings.path().c_str())};
    if (!trace.empty()) {
      argv.push_back(const_cast<char*>("--trace"));
      argv.push_back(const_cast<char*>(trace.c_str()));
    }
    argv.push_back(const_cast<char*>(report->c_str()));
    argv.push_back(nullptr);
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
