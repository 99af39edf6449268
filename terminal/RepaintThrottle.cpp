#include "terminal/RepaintThrottle.h"

#include <time.h>

namespace terminal {
namespace {

constexpr int64_t kBatchMilliseconds = 2;
// Bounds how late the first repaint is when reports suddenly slow down: a
// batch is used up before the clock shows it. A clock read per 256 reports
// costs well under an instruction a report.
constexpr int64_t kMaxBatch = 256;

}  // namespace

RepaintThrottle::RepaintThrottle(Clock clock, int64_t intervalMs)
    : clock_(clock),
      interval_(intervalMs),
      lastRead_(clock()),
      lastPaint_(lastRead_ - intervalMs) {}

int64_t RepaintThrottle::CoarseMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool RepaintThrottle::ReadClock() {
  int64_t now = clock_();
  int64_t elapsed = now - lastRead_;
  lastRead_ = now;
  if (elapsed < kBatchMilliseconds) {
    batch_ = batch_ * 2 < kMaxBatch ? batch_ * 2 : kMaxBatch;
  } else {
    batch_ = batch_ * kBatchMilliseconds / elapsed;
    if (batch_ < 1) batch_ = 1;
  }
  countdown_ = batch_;
  if (now - lastPaint_ < interval_) return false;
  lastPaint_ = now;
  return true;
}

void RepaintThrottle::Painted() {
  lastPaint_ = clock_();
  lastRead_ = lastPaint_;
}

}  // namespace terminal
