#include "tests/support/RunDeadline.h"

#include <signal.h>

namespace taxlink::testing {

RunDeadline::RunDeadline(pid_t group, int seconds)
    : watch_([this, group, seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(seconds), [this] { return ended_; })) {
          ::kill(-group, SIGKILL);
          expired_ = true;
        }
      }) {}

RunDeadline::~RunDeadline() { Ended(); }

void RunDeadline::Ended() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
  }
  changed_.notify_all();
  if (watch_.joinable()) watch_.join();
}

bool RunDeadline::Expired() {
  std::lock_guard<std::mutex> lock(mutex_);
  return expired_;
}

}  // namespace taxlink::testing
