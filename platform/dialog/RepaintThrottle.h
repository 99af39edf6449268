#ifndef TAXLINK_PLATFORM_DIALOG_REPAINTTHROTTLE_H_
#define TAXLINK_PLATFORM_DIALOG_REPAINTTHROTTLE_H_

#include <cstdint>

namespace platform {

// Decides which of a stream of repaint requests are carried out: at most one
// per interval (about 30 a second). The progress operations report hundreds
// of millions of times in a long run, so a request that is not due only
// counts down; the coarse clock is read once per batch of requests. The
// batch is sized from the request rate to about two milliseconds (at most
// 256 requests), so that a slow stream is not held back either: when
// requests slow down, one batch later the clock is read on every request.
class RepaintThrottle {
 public:
  using Clock = int64_t (*)();  // monotonic nanoseconds

  static constexpr int64_t kDefaultIntervalNs = 33'000'000;

  explicit RepaintThrottle(int64_t intervalNs = kDefaultIntervalNs, Clock clock = CoarseNowNs);

  bool Due() {
    if (--countdown_ > 0) return false;
    return ReadClock();
  }
  // The next request is due at once (a window was shown or changed state).
  void Reset();
  // A repaint happened now for another reason.
  void Painted();

  int64_t Batch() const { return batch_; }

  // The coarse monotonic clock (a tick of a few milliseconds, read in a few
  // nanoseconds).
  static int64_t CoarseNowNs();

 private:
  bool ReadClock();

  Clock clock_;
  int64_t interval_;
  int64_t batch_ = 1;
  int64_t countdown_ = 1;
  int64_t lastRead_;
  int64_t lastPaint_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_REPAINTTHROTTLE_H_
