#include "platform/dialog/RepaintThrottle.h"

#include <time.h>
#include <algorithm>

namespace platform {
namespace {

constexpr int64_t kBatchNs = 2'000'000;
// Bounds how late the first repaint is when requests suddenly slow down: a
// batch is used up before the clock shows it. A clock read per 256 requests
// costs well under an instruction a request.
constexpr int64_t kMaxBatch = 256;

}  // namespace

RepaintThrottle::RepaintThrottle(int64_t intervalNs, Clock clock)
    : clock_(clock),
      interval_(intervalNs),
      lastRead_(clock()),
      lastPaint_(lastRead_ - intervalNs) {}

int64_t RepaintThrottle::CoarseNowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool RepaintThrottle::ReadClock() {
  const int64_t now = clock_();
  const int64_t elapsed = now - lastRead_;
  lastRead_ = now;
  if (elapsed < kBatchNs) {
    batch_ = std::min(batch_ * 2, kMaxBatch);
  } else {
    batch_ = std::max<int64_t>(batch_ * kBatchNs / elapsed, 1);
  }
  countdown_ = batch_;
  if (now - lastPaint_ < interval_) return false;
  lastPaint_ = now;
  return true;
}

void RepaintThrottle::Reset() {
  countdown_ = 1;
  lastPaint_ = clock_() - interval_;
}

void RepaintThrottle::Painted() {
  lastPaint_ = clock_();
  lastRead_ = lastPaint_;
}

}  // namespace platform
