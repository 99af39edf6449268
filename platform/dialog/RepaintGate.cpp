#include "platform/dialog/RepaintGate.h"

#include <time.h>

namespace platform {

int64_t RepaintGate::NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace platform
