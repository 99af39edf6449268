#ifndef TAXLINK_PLATFORM_TEXT_DECIMALTEXT_H_
#define TAXLINK_PLATFORM_TEXT_DECIMALTEXT_H_

#include <cstdint>
#include <string_view>

namespace platform {

// The runtime's decimal conversion (atol): leading blanks, an optional sign,
// then digits up to the first other character; no digits give 0. A value
// beyond [minimum, maximum] gives the nearer bound instead of wrapping, so
// "4294967297" can never read as 1.
int64_t DecimalValue(std::string_view text, int64_t minimum, int64_t maximum);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_TEXT_DECIMALTEXT_H_
