// A connection waits for a store another one holds: short steps first, the
// same whole wait as before.

#include "mvhost/lib/BusyWait.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "mvhost/lib/HostStore.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

TEST(BusyWaitTest, StepsStartShortAndAddUpToTheWholeWait) {
  std::vector<int64_t> steps;
  for (int64_t step; (step = mvhost::BusyStepMicros(static_cast<int>(steps.size()))) != 0;) {
    steps.push_back(step);
    ASSERT_LT(steps.size(), 100000u);
  }
  ASSERT_GT(steps.size(), 2u);
  EXPECT_EQ(steps.front(), 100);
  // Longer steps later; the last one only what is left of the wait.
  for (size_t i = 1; i + 1 < steps.size(); ++i) EXPECT_GE(steps[i], steps[i - 1]) << i;
  EXPECT_EQ(std::accumulate(steps.begin(), steps.end(), int64_t{0}),
            int64_t{mvhost::kBusyWaitMilliseconds} * 1000);
}

// A store's connection waits for a lock held a moment instead of failing.
TEST(BusyWaitTest, AStoreWaitsForALockHeldAMoment) {
  HostFixture host;
  mvhost::HostStore store;
  std::string error;
  ASSERT_TRUE(store.Open(host.Home(), &error)) << error;
  host.Exec("BEGIN EXCLUSIVE");
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    host.Exec("COMMIT");
  });
  const bool written = store.Exec(
      "INSERT OR REPLACE INTO host_state (key, value) VALUES ('busy-test', '1');", &error);
  release.join();
  EXPECT_TRUE(written) << error;
}

}  // namespace
}  // namespace taxlink::testing
