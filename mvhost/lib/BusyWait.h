#ifndef TAXLINK_MVHOST_BUSYWAIT_H_
#define TAXLINK_MVHOST_BUSYWAIT_H_

#include <sqlite3.h>

#include <cstdint>

namespace mvhost {

// How a connection waits for a store that another process holds locked:
// short steps first (0.1, 0.2, 0.5 ms ...), so that a lock held for a
// moment, as by another batch client's run log entry, costs about that
// moment rather than SQLite's first steps of 1, 2, 5 and 10 ms; then steps
// of up to 100 ms until kBusyWaitMilliseconds in all, the same total as
// sqlite3_busy_timeout's.
void WaitWhenBusy(sqlite3* db);

// The sleep before the try after `tries` busy ones, in microseconds; 0 once
// the steps before it add up to the whole wait.
int64_t BusyStepMicros(int tries);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_BUSYWAIT_H_
