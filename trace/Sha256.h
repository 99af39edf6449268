#ifndef TAXLINK_TRACE_SHA256_H_
#define TAXLINK_TRACE_SHA256_H_

#include <string>
#include <string_view>

namespace taxlink {

// The SHA-256 of bytes in lower-case hex: what ties a trace, and a check
// sheet, to the report file it explains.
std::string Sha256Hex(std::string_view bytes);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_SHA256_H_
