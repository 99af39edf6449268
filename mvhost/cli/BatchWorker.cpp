#include "mvhost/cli/BatchWorker.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace mvhost {

namespace {

// The batch's word to a worker: run this client.
struct Order {
  uint64_t client = 0;
  uint8_t checkWhileRunning = 0;
  uint8_t last = 0;  // no client follows: the worker ends after this one
  uint8_t logsItself = 0;
};

// The worker's words back: the client has ended and its row is written;
// a run log entry handed late (the word, then the entry's text); the worker
// has ended its work.
constexpr char kEnded = 'e';
constexpr char kLate = 'l';
constexpr char kDone = 'd';

// An order with what the batch tells of its client (the data set's
// listing, the folders, the user: well under this).
constexpr size_t kLongestOrder = 65536;

bool Say(int channel, const std::string& word) {
  ssize_t n;
  do {
    n = ::send(channel, word.data(), word.size(), MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(word.size());
}

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
  std::vector<char> message(kLongestOrder);
  while (true) {
    Order order;
    const ssize_t n = ::recv(channel, message.data(), message.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    // The batch closed the channel (or is gone): no more clients.
    if (n < static_cast<ssize_t>(sizeof order)) break;
    std::memcpy(&order, message.data(), sizeof order);
    const std::string told(message.data() + sizeof order, static_cast<size_t>(n) - sizeof order);
    bool said = false;
    bool heard = true;
    Words words;
    words.ended = [&] {
      if (said) return;
      said = true;
      heard = Say(channel, std::string(1, kEnded));
    };
    words.late = [&](const std::string& entry) {
      return Say(channel, std::string(1, kLate) + entry);
    };
    run(static_cast<size_t>(order.client), told, order.checkWhileRunning != 0,
        order.logsItself != 0, store, words);
    words.ended();
    // After its last client the worker ends at once, while the batch
    // writes the index, instead of waiting to be told.
    if (!heard || order.last != 0) break;
  }
  store.Close();
  // Nothing of the worker's is left to write: the batch need not wait for
  // the process's teardown.
  Say(channel, std::string(1, kDone));
  ::_exit(0);
}

bool BatchWorker::Hand(size_t client, bool checkWhileRunning, bool last, bool logsItself,
                       const std::string& told) {
  if (channel_ < 0 || sizeof(Order) + told.size() > kLongestOrder) return false;
  Order order;
  order.client = client;
  order.checkWhileRunning = checkWhileRunning ? 1 : 0;
  order.last = last ? 1 : 0;
  order.logsItself = logsItself ? 1 : 0;
  std::string message(reinterpret_cast<const char*>(&order), sizeof order);
  message += told;
  return Say(channel_, message);
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

void BatchWorker::Stop() {
  if (channel_ >= 0) ::shutdown(channel_, SHUT_WR);
}

void BatchWorker::AwaitDone(std::vector<std::string>* late) {
  // An entry is a few hundred bytes; a message longer than this is cut
  // and then not taken for one.
  char buffer[16384];
  while (channel_ >= 0 && !done_) {
    const ssize_t n = ::recv(channel_, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Reap();  // ended without saying so
      return;
    }
    if (buffer[0] == kDone) done_ = true;
    if (buffer[0] == kLate) late->emplace_back(buffer + 1, static_cast<size_t>(n - 1));
  }
}

void BatchWorker::Finish() { Reap(); }

void BatchWorker::Reap() {
  if (channel_ >= 0) {
    ::close(channel_);
    channel_ = -1;
  }
  if (pid_ <= 0) return;
  int status = 0;
  // A worker that said it is done is reaped when it has ended already, and
  // otherwise left to end on its own.
  while (::waitpid(pid_, &status, done_ ? WNOHANG : 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace mvhost
