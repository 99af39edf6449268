#ifndef TAXLINK_TESTS_SUPPORT_RUNDEADLINE_H_
#define TAXLINK_TESTS_SUPPORT_RUNDEADLINE_H_

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace taxlink::testing {

// Kills a started program's process group with SIGKILL when the run
// outlasts its deadline, so that a hung program ends the test's wait
// instead of stalling the whole suite. Ended() (or the destructor) is called
// as soon as the wait for the program returns.
class RunDeadline {
 public:
  RunDeadline(pid_t group, int seconds);
  ~RunDeadline();
  RunDeadline(const RunDeadline&) = delete;
  RunDeadline& operator=(const RunDeadline&) = delete;

  void Ended();
  // Whether the deadline passed and the group was killed.
  bool Expired();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ended_ = false;
  bool expired_ = false;
  std::thread watch_;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_RUNDEADLINE_H_
