#ifndef TAXLINK_TRACE_YENTEXT_H_
#define TAXLINK_TRACE_YENTEXT_H_

#include <cstdint>
#include <string>

namespace taxlink {

// A raw amount (ten-thousandths of a yen) as yen with four decimals,
// "-1234.5000", straight from the integer.
std::string YenText(int64_t raw);
// The same text appended to out, without a string of its own (the trace
// writes millions of them).
void AppendYen(std::string& out, int64_t raw);
// An integer in decimal appended to out.
void AppendInteger(std::string& out, int64_t value);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_YENTEXT_H_
