#include "mvhost/cli/LaunchCommand.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include "mvhost/cli/LaunchRunLog.h"
#include "mvhost/cli/RunTranscript.h"
#include "mvhost/cli/SheetAfterLaunch.h"
#include "mvhost/cli/WholeFile.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/RunLog.h"
#include "platform/hostwindow/HostWindow.h"
#include "platform/text/Encoding.h"
#include "platform/winfs/PathMapping.h"
#include "platform/winfs/ReplacementFile.h"
#include "resources/ids/ReportTemporary.h"

extern char** environ;

namespace mvhost {

namespace {

int CannotStart(const std::string& message) {
  std::cerr << "mvhost: " << message << "\n";
  return kLaunchCannotStart;
}

// The listening end of the host window: a bound datagram socket in a private
// folder (a fresh one, removed again when the launch ends, or the caller's),
// the socket removed when the launch ends, unless the caller bound it.
class WindowListener {
 public:
  ~WindowListener() {
    if (ownFd_ && fd_ >= 0) ::close(fd_);
    if (!socketPath_.empty()) ::unlink(socketPath_.c_str());
    if (ownFolder_) ::rmdir(folder_.c_str());
  }

  bool Open(HWND handle, const std::string& givenFolder, int givenFd, std::string* error) {
    if (givenFd >= 0) {
      // The caller's socket, bound in its folder for this handle.
      folder_ = givenFolder;
      ::setenv("TAXLINK_WINDOWS_DIR", folder_.c_str(), 1);
      fd_ = givenFd;
      return true;
    }
    if (givenFolder.empty()) {
      std::string reason;
      folder_ = MakePrivateFolder("mvhost-window", &reason);
      if (folder_.empty()) {
        *error = "cannot create a window folder: " + reason;
        return false;
      }
      ownFolder_ = true;
    } else {
      folder_ = givenFolder;
      // A socket left in a kept folder by a launch that was killed.
      ::setenv("TAXLINK_WINDOWS_DIR", folder_.c_str(), 1);
      ::unlink(platform::WindowSocketPath(handle).c_str());
    }
    fd_ = BindWindowSocket(folder_, handle, error);
    ownFd_ = true;
    if (fd_ < 0) return false;
    socketPath_ = platform::WindowSocketPath(handle);
    return true;
  }

  // Waits up to `millis` for one datagram, or less once `ended` (a pidfd
  // of the program, or -1) says the program has ended or `watched` (-1:
  // none) is readable, which then calls `onWatched`; false when no datagram
  // came.
  bool Receive(int millis, int ended, int watched, const std::function<void()>& onWatched,
               std::string* text) {
    pollfd p[3] = {{fd_, POLLIN, 0}, {ended, POLLIN, 0}, {watched, POLLIN, 0}};
    // A descriptor of -1 is left out of the poll.
    if (::poll(p, 3, millis) <= 0) return false;
    if ((p[2].revents & POLLIN) != 0 && onWatched) onWatched();
    if ((p[0].revents & POLLIN) == 0) return false;
    char buffer[1024];
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) return false;
    text->assign(buffer, static_cast<size_t>(n));
    return true;
  }

 private:
  int fd_ = -1;
  bool ownFd_ = false;
  std::string folder_;
  bool ownFolder_ = false;
  std::string socketPath_;
};

// The lParam of "POST 1025 wparam lparam", when the datagram is that.
std::optional<int32_t> PostedResult(const std::string& text) {
  std::istringstream in(text);
  std::string word;
  int64_t message = 0, wParam = 0, lParam = 0;
  if (!(in >> word >> message >> wParam >> lParam) || word != "POST" ||
      message != kHostNotifyMessage) {
    return std::nullopt;
  }
  return static_cast<int32_t>(lParam);
}

// While the program runs, Ctrl+C and Ctrl+\ at the terminal reach it and
// this process alike: as a shell waiting for a command, the host ignores
// them and reports how the program ended. A hang-up or SIGTERM sent to the
// host is remembered (SIGTERM passed on to the program) and carried out
// once the program has ended and the window folder is gone.
volatile sig_atomic_t endingSignal = 0;
volatile sig_atomic_t programPid = 0;

void OnEndingSignal(int sig) {
  endingSignal = sig;
  if (sig == SIGTERM && programPid > 0) ::kill(programPid, SIGTERM);
}

class SignalGuard {
 public:
  SignalGuard() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGINT, &ignore, &previousInt_);
    ::sigaction(SIGQUIT, &ignore, &previousQuit_);
    struct sigaction remember {};
    remember.sa_handler = OnEndingSignal;
    sigemptyset(&remember.sa_mask);
    ::sigaction(SIGHUP, &remember, &previousHup_);
    ::sigaction(SIGTERM, &remember, &previousTerm_);
  }
  ~SignalGuard() {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGQUIT, &previousQuit_, nullptr);
    ::sigaction(SIGHUP, &previousHup_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
    programPid = 0;
    int sig = endingSignal;
    endingSignal = 0;
    if (sig != 0) {
      std::cout.flush();
      ::signal(sig, SIG_DFL);
      ::raise(sig);
    }
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  struct sigaction previousInt_ {};
  struct sigaction previousQuit_ {};
  struct sigaction previousHup_ {};
  struct sigaction previousTerm_ {};
};

// Removes the temporary a program of that process id made beside path.
void RemoveTemporaryBeside(const std::string& path, const char* stem, pid_t program) {
  ::unlink((path.substr(0, path.rfind('/') + 1) +
            platform::ReplacementFile::TemporaryNameOf(stem, static_cast<long>(program)))
               .c_str());
}

// A program stopped while it wrote its report or its trace (Ctrl+C, a
// kill) leaves its temporary beside the output file or the trace (a POSIX
// path, empty for none): the host, which saw the program end, removes them
// before the program's process id can name another process.
void RemoveLeftTemporaries(const std::optional<TakenConditions>& taken,
                           const std::string& tracePath, pid_t program) {
  if (!tracePath.empty()) RemoveTemporaryBeside(tracePath, taxlink::kTraceTemporaryStem, program);
  if (!taken || taken->windowsPath.empty()) return;  // no report was begun
  const std::optional<std::string> report = platform::MapUtf8WindowsPath(taken->windowsPath);
  if (!report || report->find('/') == std::string::npos) return;
  RemoveTemporaryBeside(*report, taxlink::kReportTemporaryStem, program);
}

const char* ResultName(int32_t result) {
  switch (result) {
    case 0:
      return "written";
    case 1:
      return "stopped";
    case 2:
      return "failed";
    default:
      return "unknown";
  }
}

}  // namespace

int BindWindowSocket(const std::string& folder, uint32_t handle, std::string* error) {
  // The program and WindowSocketPath find the window through this variable.
  ::setenv("TAXLINK_WINDOWS_DIR", folder.c_str(), 1);
  const std::string path = platform::WindowSocketPath(handle);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    *error = "window socket path too long: " + path;
    return -1;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    *error = "cannot listen on " + path + ": " + std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return -1;
  }
  return fd;
}

std::string SiblingProgramPath(const std::string& name) {
  std::vector<char> self(4096);
  ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
  std::string folder = ".";
  if (n > 0) {
    std::string path(self.data(), static_cast<size_t>(n));
    folder = path.substr(0, path.rfind('/'));
  }
  return folder + "/" + name;
}

std::string EditionProgramPath(const std::string& edition) {
  return SiblingProgramPath("TaxLink" + edition);
}

namespace {

int RunLaunch(const LaunchOptions& options);

}  // namespace

int LaunchCommand(const LaunchOptions& options) {
  // Declared first, so that its destructor (which may end this process as
  // a signal asked) runs after the window folder has been removed.
  SignalGuard signals;
  return RunLaunch(options);
}

namespace {

int RunLaunch(const LaunchOptions& options) {
  if (options.program.empty() && options.edition != "Alto" && options.edition != "Std" &&
      options.edition != "Serena") {
    return CannotStart("unknown edition " + options.edition + " (Alto, Std, Serena)");
  }
  std::string program =
      options.program.empty() ? EditionProgramPath(options.edition) : options.program;
  if (::access(program.c_str(), X_OK) != 0) return CannotStart("no program " + program);
  std::string pathText;
  if (!platform::TryUtf8ToCp932(options.pathText, &pathText)) {
    return CannotStart("the path text cannot be written in Shift_JIS: " + options.pathText);
  }

  // A window handle of our own: the process id, kept to 31 bits; or the
  // caller's, whose socket is bound.
  const HWND handle = options.windowFd >= 0 ? static_cast<HWND>(options.windowHandle)
                                            : static_cast<HWND>(::getpid()) & 0x7FFFFFFFu;
  WindowListener window;
  std::string error;
  if (!window.Open(handle, options.windowFolder, options.windowFd, &error)) {
    return CannotStart(error);
  }
  if (!options.home.empty()) ::setenv("MVHOST_HOME", options.home.c_str(), 1);
  std::string tracePath;
  if (!options.trace.empty()) {
    // Absolute: the program moves to its own folder before it writes.
    tracePath = options.trace;
    if (tracePath[0] != '/') {
      char folder[4096];
      if (::getcwd(folder, sizeof folder) == nullptr) return CannotStart("no current folder");
      tracePath = std::string(folder) + "/" + tracePath;
    }
    ::setenv("TAXLINK_TRACE", tracePath.c_str(), 1);
  }
  // The run's transcript tells the run log (and the sheet) the conditions
  // and the report.
  SheetAfterLaunch sheet;
  if (!sheet.Prepare(&error)) return CannotStart(error);

  std::string argument = std::to_string(handle) + "," + std::to_string(kHostNotifyMessage) + "," +
                         std::to_string(options.functionId) + "," + pathText;
  std::cout << "launch " << program << " " << platform::Cp932ToUtf8(argument) << std::endl;

  LaunchRecord record;
  record.home = options.home;
  record.edition = options.edition;
  record.via = options.via;
  record.startedAt = RunLogTimeNow();
  const auto started = std::chrono::steady_clock::now();
  // posix_spawn rather than fork: the program starts without copying this
  // process (a batch's worker) first; it gets the default actions of the
  // signals this process ignores or catches (ignored ones would stay
  // ignored across exec).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                             const_cast<char*>(argument.c_str()), nullptr};
  pid_t child = 0;
  const int spawned =
      ::posix_spawn(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    return CannotStart("cannot start " + program + ": " + std::strerror(spawned));
  }

  programPid = child;
  if (options.started) options.started();
  // The program's end wakes the wait for the window's messages at once
  // (a pidfd); without one, the wait looks every 100 ms.
  const int ended = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
  // On the program's own terminal the window's messages would land in its
  // full-screen dialogs: they are printed once the program has ended.
  const bool deferLines = ::isatty(STDOUT_FILENO) == 1;
  std::vector<std::string> deferred;
  std::optional<int32_t> result;
  bool windowEnabled = true;
  int status = 0;
  bool exited = false;
  std::string text;
  while (true) {
    if (window.Receive(exited ? 0 : 100, exited ? -1 : ended, exited ? -1 : options.watchFd,
                       options.watched, &text)) {
      if (deferLines) {
        deferred.push_back(text);
      } else {
        std::cout << text << std::endl;
      }
      if (auto posted = PostedResult(text)) {
        if (*posted == 0 && !result && options.posted) options.posted();
        result = posted;
      }
      if (text == "ENABLE 0" || text == "ENABLE 1") windowEnabled = text == "ENABLE 1";
      continue;
    }
    if (exited) break;  // drained what the program sent before it ended
    // Seen ended, but not reaped yet: its process id stays its own until
    // its temporary is gone.
    siginfo_t info{};
    const int seen = ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
    if ((seen == 0 && info.si_pid == child) || (seen < 0 && errno != EINTR)) exited = true;
  }
  // The transcript is complete once the program has ended: read once, for
  // the temporaries, the run log, the sheet and the caller.
  RunTranscript ownTranscript;
  RunTranscript& run = options.transcript != nullptr ? *options.transcript : ownTranscript;
  run = RunTranscript::Read(sheet.TranscriptPath());
  record.conditions = run.conditions;
  RemoveLeftTemporaries(run.conditions, tracePath, child);
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  programPid = 0;
  if (ended >= 0) ::close(ended);
  record.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();
  record.result = result;
  if (options.ended) options.ended();
  // The run log's connection stays open for the sheet's check.
  HostStore ownStore;
  HostStore& store = options.store != nullptr ? *options.store : ownStore;
  LoggedReport report;
  if (options.runLog != nullptr) {
    *options.runLog = LaunchEntry(record, &report);
    if (options.runLogMade) options.runLogMade();
  } else if (!RecordLaunch(record, &error, &store, &report)) {
    std::cerr << "mvhost: warning: the run is not in the run log: " << error << "\n";
  }
  for (const std::string& line : deferred) std::cout << line << "\n";

  if (WIFEXITED(status)) {
    std::cout << "program exited with status " << WEXITSTATUS(status) << "\n";
  } else if (WIFSIGNALED(status)) {
    std::cout << "program ended by signal " << WTERMSIG(status) << "\n";
  }
  if (!result) {
    // A program that ended without posting (killed, crashed) cannot enable
    // the window it disabled: the host does, and gives up waiting.
    if (!windowEnabled) std::cout << "window enabled again by the host\n";
    if (WIFSIGNALED(status)) {
      std::cout << "result: none (the program ended by signal " << WTERMSIG(status) << ")\n";
    } else {
      std::cout << "result: no notification\n";
    }
    return kLaunchNoNotification;
  }
  std::cout << "result: " << *result << " " << ResultName(*result) << "\n";
  if (options.sheet && *result == 0) {
    SheetOutcome own;
    SheetOutcome* outcome = options.sheetOutcome != nullptr ? options.sheetOutcome : &own;
    bool written = true;
    const bool madeEarly =
        tracePath.empty() && options.sheetMade &&
        options.sheetMade(run.conditions ? &*run.conditions : nullptr, report.sha256, outcome,
                          &written, &error);
    if (madeEarly ? !written
                  : !sheet.Write(tracePath, run.conditions, outcome, &error, &store, &report)) {
      std::cerr << "mvhost: no check sheet: " << error << "\n";
      return kLaunchNoSheet;
    }
    std::cout << "sheet: " << outcome->sheetPath << "\n";
  }
  return *result >= 0 && *result <= 2 ? *result : 2;
}

}  // namespace

}  // namespace mvhost
