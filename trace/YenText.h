#ifndef TAXLINK_TRACE_YENTEXT_H_
#define TAXLINK_TRACE_YENTEXT_H_

#include <cstdint>
#include <string>

namespace taxlink {

// A raw amount (ten-thousandths of a yen) as yen with four decimals,
// "-1234.5000", straight from the integer.
std::string YenText(int64_t raw);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_YENTEXT_H_
