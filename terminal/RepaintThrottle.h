#ifndef TAXLINK_TERMINAL_REPAINTTHROTTLE_H_
#define TAXLINK_TERMINAL_REPAINTTHROTTLE_H_

#include <cstdint>

namespace terminal {

// Decides whether a progress report repaints: at most once per interval
// (about 30 times a second). The model reports on every progress operation,
// hundreds of millions of times in a long run, so a report that does not
// repaint only counts down; the coarse clock is read once per batch of
// reports. The batch is sized from the report rate to about two
// milliseconds (at most 256 reports), so that a slow stream of reports is
// not held back either: when reports slow down, one batch later the clock
// is read on every report.
class RepaintThrottle {
 public:
  using Clock = int64_t (*)();  // milliseconds

  explicit RepaintThrottle(Clock clock = CoarseMilliseconds, int64_t intervalMs = 33);

  bool Due() {
    if (--countdown_ > 0) return false;
    return ReadClock();
  }
  // A repaint happened now for another reason.
  void Painted();

  static int64_t CoarseMilliseconds();

 private:
  bool ReadClock();

  Clock clock_;
  int64_t interval_;
  int64_t batch_ = 1;
  int64_t countdown_ = 1;
  int64_t lastRead_;
  int64_t lastPaint_;
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_REPAINTTHROTTLE_H_
