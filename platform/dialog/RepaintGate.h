#ifndef TAXLINK_PLATFORM_DIALOG_REPAINTGATE_H_
#define TAXLINK_PLATFORM_DIALOG_REPAINTGATE_H_

#include <cstdint>

namespace platform {

// Lets a repaint through at most about 30 times a second. The aggregation
// calls the progress operations once per journal line and more, so a call
// that is refused must cost almost nothing: a countdown, and only every
// sixteenth call reads the coarse monotonic clock (a few nanoseconds).
class RepaintGate {
 public:
  // The shortest time between two repaints let through.
  static constexpr int64_t kIntervalNs = 33'000'000;

  // True when a repaint may happen now; it then counts as done.
  bool Open() {
    if (--countdown_ > 0) return false;
    countdown_ = kCallsPerClockRead;
    const int64_t now = NowNs();
    if (now - lastNs_ < kIntervalNs) return false;
    lastNs_ = now;
    return true;
  }
  // A repaint that happened anyway (a window shown or hidden).
  void Passed() {
    lastNs_ = NowNs();
    countdown_ = kCallsPerClockRead;
  }

 private:
  static constexpr int kCallsPerClockRead = 16;
  static int64_t NowNs();

  int countdown_ = 0;
  int64_t lastNs_ = INT64_MIN / 2;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_REPAINTGATE_H_
