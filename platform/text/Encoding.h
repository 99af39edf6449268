#ifndef TAXLINK_PLATFORM_TEXT_ENCODING_H_
#define TAXLINK_PLATFORM_TEXT_ENCODING_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Conversions between the program's Shift_JIS (code page 932) text and UTF-8,
// used only at the edges (terminal, POSIX file names, SQLite, JSON). Bytes
// that cannot be converted become "?" so that a conversion never fails.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Strict forms: false (out untouched) when the input is not valid.
bool TryCp932ToUtf8(std::string_view cp932, std::string* out);
bool TryUtf8ToCp932(std::string_view utf8, std::string* out);

// The offset of the first byte that starts no code page 932 character (a
// stray trail byte, a lead byte without its trail, a pair that maps to
// nothing), or npos when the whole text converts.
std::size_t FindInvalidCp932(std::string_view cp932);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_TEXT_ENCODING_H_
