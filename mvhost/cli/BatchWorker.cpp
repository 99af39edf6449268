#include "mvhost/cli/BatchWorker.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iostream>

namespace mvhost {

namespace {

// The batch's word to a worker: run this client.
struct Order {
  uint64_t client = 0;
  uint8_t checkWhileRunning = 0;
  uint8_t last = 0;  // no client follows: the worker ends after this one
  uint8_t logsItself = 0;
};

// The worker's word back: the client has ended and its row is written.
constexpr char kEnded = 'e';

}  // namespace

BatchWorker::~BatchWorker() { Finish(); }

bool BatchWorker::Start(const Run& run, const std::vector<int>& closeInWorker) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
  std::cout.flush();
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(ends[0]);
    ::close(ends[1]);
    errno = error;
    return false;
  }
  if (child == 0) {
    for (int sig : {SIGINT, SIGHUP, SIGTERM}) ::signal(sig, SIG_DFL);
    ::close(ends[0]);
    for (int fd : closeInWorker) ::close(fd);
    Serve(ends[1], run);
  }
  ::close(ends[1]);
  channel_ = ends[0];
  pid_ = child;
  return true;
}

void BatchWorker::Serve(int channel, const Run& run) {
  HostStore store;
  while (true) {
    Order order;
    const ssize_t n = ::recv(channel, &order, sizeof order, 0);
    if (n < 0 && errno == EINTR) continue;
    // The batch closed the channel (or is gone): no more clients.
    if (n != static_cast<ssize_t>(sizeof order)) break;
    run(static_cast<size_t>(order.client), order.checkWhileRunning != 0, order.logsItself != 0,
        store);
    // After its last client the worker ends at once, while the batch
    // writes the index, instead of waiting to be told.
    if (::send(channel, &kEnded, 1, MSG_NOSIGNAL) != 1 || order.last != 0) break;
  }
  store.Close();
  ::_exit(0);
}

bool BatchWorker::Hand(size_t client, bool checkWhileRunning, bool last, bool logsItself) {
  if (channel_ < 0) return false;
  Order order;
  order.client = client;
  order.checkWhileRunning = checkWhileRunning ? 1 : 0;
  order.last = last ? 1 : 0;
  order.logsItself = logsItself ? 1 : 0;
  ssize_t n;
  do {
    n = ::send(channel_, &order, sizeof order, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(sizeof order);
}

bool BatchWorker::Ended(bool* gone) {
  *gone = false;
  char word = 0;
  ssize_t n;
  do {
    n = ::recv(channel_, &word, 1, MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  if (n == 1 && word == kEnded) return true;
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
  // End of the channel: the worker ended (killed, or it could not go on).
  *gone = true;
  Reap();
  return false;
}

void BatchWorker::Finish() { Reap(); }

void BatchWorker::Reap() {
  if (channel_ >= 0) {
    ::close(channel_);
    channel_ = -1;
  }
  if (pid_ <= 0) return;
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace mvhost
