#ifndef TAXLINK_REPORT_FULLWIDTHNAME_H_
#define TAXLINK_REPORT_FULLWIDTHNAME_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace taxlink {

// The longest report name in bytes.
constexpr std::size_t kFullWidthNameBytes = 32;

// The text cut to at most maxBytes bytes without splitting a Shift_JIS
// double-byte character (a lead byte that would end the text is dropped).
std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// The company name for the report: half-width letters, digits, symbols and
// katakana mapped to their full-width forms, cut to 32 bytes (31 when byte
// 32 would be the lead byte of a double-byte character).
std::string ToFullWidthName(std::string_view text);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_FULLWIDTHNAME_H_
