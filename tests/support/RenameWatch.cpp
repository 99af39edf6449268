#include "tests/support/RenameWatch.h"

#if defined(__x86_64__)
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tests/support/RunDeadline.h"
#endif

namespace taxlink::testing {

#if defined(__x86_64__)

std::string RenameWatchUnsupported() { return std::string(); }

namespace {

// A zero-terminated string of the stopped program's memory.
std::string ReadString(pid_t pid, unsigned long long address) {
  std::string text;
  while (text.size() < 4096) {
    errno = 0;
    long word = ::ptrace(PTRACE_PEEKDATA, pid, address + text.size(), nullptr);
    if (errno != 0) break;
    char bytes[sizeof(word)];
    std::memcpy(bytes, &word, sizeof(word));
    for (char c : bytes) {
      if (c == '\0') return text;
      text.push_back(c);
    }
  }
  return text;
}

// The new name of a rename system call that the program is entering.
bool RenameTarget(pid_t pid, std::string* newPath) {
  user_regs_struct regs;
  if (::ptrace(PTRACE_GETREGS, pid, nullptr, &regs) != 0) return false;
  switch (regs.orig_rax) {
    case SYS_rename:
      *newPath = ReadString(pid, regs.rsi);
      return true;
    case SYS_renameat:
    case SYS_renameat2:
      *newPath = ReadString(pid, regs.r10);
      return true;
    default:
      return false;
  }
}

}  // namespace

int RunWatchingRenames(const std::string& path, char* const argv[], char* const envp[], int in,
                       int out, int err, const RenameHandler& onRename, int seconds,
                       bool* expired) {
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::setpgid(0, 0);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(126);
    ::execve(path.c_str(), argv, envp);
    ::_exit(127);
  }
  ::setpgid(pid, pid);  // whichever of the two comes first
  RunDeadline deadline(pid, seconds);
  // Once the wait for the program's end returned: whether the deadline had
  // killed it.
  const auto ended = [&deadline, expired] {
    deadline.Ended();
    *expired = deadline.Expired();
  };
  int status = 0;
  // The first stop is the exec's.
  if (::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) {
    ended();
    return WIFEXITED(status) && WEXITSTATUS(status) == 126 ? -1 : status;
  }
  ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
  bool entering = true;
  int signal = 0;
  for (;;) {
    if (::ptrace(PTRACE_SYSCALL, pid, nullptr, signal) != 0) break;
    signal = 0;
    if (::waitpid(pid, &status, 0) != pid) break;
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      ended();
      return status;
    }
    if (!WIFSTOPPED(status)) continue;
    if (WSTOPSIG(status) == (SIGTRAP | 0x80)) {
      std::string target;
      if (entering && RenameTarget(pid, &target) && onRename(target)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ended();
        return status;
      }
      entering = !entering;
    } else if (WSTOPSIG(status) != SIGTRAP) {
      signal = WSTOPSIG(status);  // the program's own signals go on to it
    }
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  ended();
  return status;
}

#else

std::string RenameWatchUnsupported() {
  return "watching renames needs an x86-64 processor (it reads the system call registers "
         "under ptrace); this build is for another";
}

int RunWatchingRenames(const std::string&, char* const[], char* const[], int, int, int,
                       const RenameHandler&, int, bool*) {
  return -1;
}

#endif

}  // namespace taxlink::testing
