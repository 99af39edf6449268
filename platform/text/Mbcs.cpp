#include "platform/text/Mbcs.h"

namespace platform {

namespace {

// Walks the text from its start and reports the role of the byte at pos:
// 0 single byte (or past the end), 1 lead byte, 2 trail byte.
int RoleAt(const char* text, std::size_t pos) {
  if (text == nullptr) return 0;
  std::size_t i = 0;
  while (text[i] != '\0') {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned char next = static_cast<unsigned char>(text[i + 1]);
    if (IsLeadByte(c) && pos == i) {
      // As _ismbslead: a lead byte counts as one even when the text ends
      // after it, so that a cut there is seen as splitting a character.
      return 1;
    }
    if (IsLeadByte(c) && next != '\0' && IsTrailByte(next)) {
      if (pos == i + 1) return 2;
      i += 2;
    } else {
      if (pos == i) return 0;
      ++i;
    }
    if (i > pos) return 0;
  }
  return 0;
}

}  // namespace

bool IsTrailAt(const char* text, std::size_t pos) { return RoleAt(text, pos) == 2; }

bool IsLeadAt(const char* text, std::size_t pos) { return RoleAt(text, pos) == 1; }

}  // namespace platform
