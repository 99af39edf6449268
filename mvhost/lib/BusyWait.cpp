#include "mvhost/lib/BusyWait.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "mvhost/lib/HostStore.h"

namespace mvhost {

namespace {

constexpr std::array<int64_t, 10> kStepsMicros = {100,  200,   500,   1000,  2000,
                                                  5000, 10000, 20000, 50000, 100000};
constexpr int64_t kWholeWaitMicros = int64_t{kBusyWaitMilliseconds} * 1000;

int Busy(void* /*unused*/, int tries) {
  const int64_t step = BusyStepMicros(tries);
  if (step == 0) return 0;
  std::this_thread::sleep_for(std::chrono::microseconds(step));
  return 1;
}

}  // namespace

int64_t BusyStepMicros(int tries) {
  if (tries < 0) return 0;
  const auto steps = static_cast<int64_t>(kStepsMicros.size());
  const int64_t early = std::min<int64_t>(tries, steps);
  int64_t waited = 0;
  for (int64_t i = 0; i < early; ++i) waited += kStepsMicros[static_cast<size_t>(i)];
  waited += (tries - early) * kStepsMicros.back();
  if (waited >= kWholeWaitMicros) return 0;
  const int64_t step =
      kStepsMicros[static_cast<size_t>(std::min(tries, static_cast<int>(steps) - 1))];
  return std::min(step, kWholeWaitMicros - waited);
}

void WaitWhenBusy(sqlite3* db) { sqlite3_busy_handler(db, Busy, nullptr); }

}  // namespace mvhost
