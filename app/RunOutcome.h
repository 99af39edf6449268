#ifndef TAXLINK_APP_RUNOUTCOME_H_
#define TAXLINK_APP_RUNOUTCOME_H_

#include <cstdint>
#include <string>
#include <utility>

namespace taxlink {

// runResult values, as the host is told them.
constexpr int32_t kRunWritten = 0;
constexpr int32_t kRunStopped = 1;
constexpr int32_t kRunFailed = 2;

// How a step of the run ended: the run goes on, or it is over because the
// report was written, the run was stopped (by the user, a refusal or the
// host) or failed, or the host refused the link before anything was done.
// A stopped or failed run may carry a message for standard error.
class RunOutcome {
 public:
  enum class Kind { kGoOn, kWritten, kStopped, kFailed, kLinkRefused };

  static RunOutcome GoOn() { return RunOutcome(Kind::kGoOn, {}); }
  static RunOutcome Written() { return RunOutcome(Kind::kWritten, {}); }
  static RunOutcome Stopped(std::string message = {}) {
    return RunOutcome(Kind::kStopped, std::move(message));
  }
  static RunOutcome Failed(std::string message = {}) {
    return RunOutcome(Kind::kFailed, std::move(message));
  }
  static RunOutcome LinkRefused() { return RunOutcome(Kind::kLinkRefused, {}); }

  Kind kind() const { return kind_; }
  bool goOn() const { return kind_ == Kind::kGoOn; }
  bool written() const { return kind_ == Kind::kWritten; }
  const std::string& message() const { return message_; }

  // The runResult of a run that ended so: a refused link leaves it at 0.
  int32_t runResult() const {
    if (kind_ == Kind::kStopped) return kRunStopped;
    if (kind_ == Kind::kFailed) return kRunFailed;
    return kRunWritten;
  }

 private:
  RunOutcome(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

  Kind kind_;
  std::string message_;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_RUNOUTCOME_H_
