#ifndef TAXLINK_HOST_HOSTSTATUS_H_
#define TAXLINK_HOST_HOSTSTATUS_H_

#include <cstdint>

// Host calls return a signed 32-bit status; 0 is success.
constexpr int32_t kHostOk = 0;
// A walk that reached the end of its data.
constexpr int32_t kHostEndOfData = 5000;

#endif  // TAXLINK_HOST_HOSTSTATUS_H_
