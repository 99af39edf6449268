#ifndef TAXLINK_DESKTOP_REPAINTTHROTTLE_H_
#define TAXLINK_DESKTOP_REPAINTTHROTTLE_H_

#include <cstdint>

namespace desktop {

// Decides which of a stream of repaint requests are carried out: at most
// one per interval. Due() is called hundreds of millions of times in a
// journal run, so a call that is not due only counts down; the clock (a
// coarse one) is read when the count runs out, and the count adapts so that
// it is read about every few milliseconds whatever the rate of calls.
class RepaintThrottle {
 public:
  explicit RepaintThrottle(int64_t intervalNanoseconds = kDefaultInterval);

  bool Due() {
    if (--countdown_ > 0) return false;
    return ReadClock();
  }
  // The next call is due at once (a window was shown or changed state).
  void Reset();

  int64_t Batch() const { return batch_; }

  static constexpr int64_t kDefaultInterval = 33'000'000;  // 30 a second
  static constexpr int64_t kMaxBatch = 16384;

 private:
  bool ReadClock();

  int64_t interval_;
  int64_t countdown_ = 1;
  int64_t batch_ = 1;
  int64_t lastRead_ = 0;
  int64_t lastDue_ = 0;
  bool started_ = false;
};

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_REPAINTTHROTTLE_H_
