#include "desktop/RepaintThrottle.h"

#include <time.h>

namespace desktop {
namespace {

// The clock reads this often at most and at least (nanoseconds).
constexpr int64_t kReadAtLeastEvery = 8'000'000;
constexpr int64_t kReadAtMostEvery = 1'000'000;

int64_t CoarseNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

RepaintThrottle::RepaintThrottle(int64_t intervalNanoseconds) : interval_(intervalNanoseconds) {}

void RepaintThrottle::Reset() {
  countdown_ = 1;
  started_ = false;
}

bool RepaintThrottle::ReadClock() {
  int64_t now = CoarseNow();
  if (!started_) {
    started_ = true;
    lastRead_ = now;
    lastDue_ = now;
    countdown_ = batch_;
    return true;
  }
  int64_t sinceRead = now - lastRead_;
  if (sinceRead < kReadAtMostEvery && batch_ < kMaxBatch) {
    batch_ *= 2;
  } else if (sinceRead > kReadAtLeastEvery && batch_ > 1) {
    batch_ /= 2;
  }
  lastRead_ = now;
  countdown_ = batch_;
  if (now - lastDue_ < interval_) return false;
  lastDue_ = now;
  return true;
}

}  // namespace desktop
