#include "terminal/TerminalRestore.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace terminal {
namespace {

// Read by the signal handlers: plain storage filled before armed is set.
struct Armed {
  int fd = -1;
  termios modes{};
  char sequence[256] = {};
  std::size_t length = 0;
};
Armed armed;
volatile sig_atomic_t isArmed = 0;
// Standard error while it is captured: the terminal's descriptor and the
// capture's; -1 when nothing is captured.
volatile sig_atomic_t savedStderr = -1;
volatile sig_atomic_t capturedStderr = -1;
volatile sig_atomic_t windowChanged = 0;
void (*leaveAtExit)() = nullptr;
std::terminate_handler previousTerminate = nullptr;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT};

void OnEndingSignal(int sig) {
  RestoreArmedTerminal();
  // SA_RESETHAND put the default action back: the signal ends the process
  // as it would have without us.
  raise(sig);
}

void OnWindowChange(int) { windowChanged = 1; }

void OnTerminate() {
  RestoreArmedTerminal();
  if (previousTerminate != nullptr) previousTerminate();
  std::abort();
}

void AtExit() {
  if (leaveAtExit != nullptr) leaveAtExit();
  RestoreArmedTerminal();
}

void Catch(int sig, void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  struct sigaction previous {};
  sigaction(sig, nullptr, &previous);
  // A signal the parent made us ignore stays ignored.
  if (previous.sa_handler == SIG_IGN) return;
  sigaction(sig, &action, nullptr);
}

}  // namespace

void InstallRestoreHooks(void (*leave)()) {
  static bool installed = false;
  if (installed) return;
  installed = true;
  leaveAtExit = leave;
  for (int sig : kEndingSignals) Catch(sig, OnEndingSignal, SA_RESETHAND | SA_NODEFER);
  // No SA_RESTART: a read waiting for a key returns, and the size is
  // applied at once.
  Catch(SIGWINCH, OnWindowChange, 0);
  previousTerminate = std::set_terminate(OnTerminate);
  std::atexit(AtExit);
}

void ArmRestore(int fd, const termios& saved, const std::string& leaveSequence) {
  isArmed = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  armed.fd = fd;
  armed.modes = saved;
  armed.length =
      leaveSequence.size() < sizeof armed.sequence ? leaveSequence.size() : sizeof armed.sequence;
  std::memcpy(armed.sequence, leaveSequence.data(), armed.length);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  isArmed = 1;
}

void DisarmRestore() { isArmed = 0; }

void CaptureStderr(int savedFd, int captureFd) {
  savedStderr = savedFd;
  capturedStderr = captureFd;
  dup2(captureFd, STDERR_FILENO);
}

void ReleaseStderr() {
  int saved = savedStderr;
  int capture = capturedStderr;
  if (saved < 0 || capture < 0) return;
  savedStderr = -1;
  capturedStderr = -1;
  dup2(saved, STDERR_FILENO);
  close(saved);
  char buffer[512];
  if (lseek(capture, 0, SEEK_SET) == 0) {
    for (ssize_t n; (n = read(capture, buffer, sizeof buffer)) > 0;) {
      for (ssize_t done = 0; done < n;) {
        ssize_t written = write(STDERR_FILENO, buffer + done, static_cast<std::size_t>(n - done));
        if (written <= 0) break;
        done += written;
      }
    }
  }
  close(capture);
}

void RestoreArmedTerminal() {
  if (!isArmed) {
    ReleaseStderr();
    return;
  }
  isArmed = 0;
  std::size_t done = 0;
  while (done < armed.length) {
    ssize_t n = write(armed.fd, armed.sequence + done, armed.length - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  tcsetattr(armed.fd, TCSANOW, &armed.modes);
  ReleaseStderr();
}

bool TakeWindowChange() {
  if (windowChanged == 0) return false;
  windowChanged = 0;
  return true;
}

}  // namespace terminal
