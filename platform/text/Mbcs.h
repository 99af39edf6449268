#ifndef TAXLINK_PLATFORM_TEXT_MBCS_H_
#define TAXLINK_PLATFORM_TEXT_MBCS_H_

#include <cstddef>

namespace platform {

// The code page 932 character table of the C runtime.
// Lead bytes: 0x81-0x9F and 0xE0-0xFC. Trail bytes: 0x40-0x7E and 0x80-0xFC.
// Inline: the record texts are walked byte by byte with them.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool IsTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// True when the byte at pos is the trail byte of a double-byte character of
// the zero-terminated text that starts at text (the _ismbstrail rule: walk
// from the start, a lead byte followed by a trail byte forms one character).
bool IsTrailAt(const char* text, std::size_t pos);
// True when the byte at pos is the lead byte of a double-byte character,
// also when the text ends right after it (the _ismbslead rule), so that a
// buffer whose last byte IsLeadAt holds half a character.
bool IsLeadAt(const char* text, std::size_t pos);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_TEXT_MBCS_H_
