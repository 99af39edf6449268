#include "terminal/EditBuffer.h"

#include "platform/dialog/Dialog.h"
#include "platform/text/Mbcs.h"

namespace terminal {
namespace {

// The start of the character after the one at pos.
std::size_t NextBoundary(const std::string& text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  bool pair = pos + 1 < text.size() &&
              platform::IsLeadByte(static_cast<unsigned char>(text[pos])) &&
              platform::IsTrailByte(static_cast<unsigned char>(text[pos + 1]));
  return pos + (pair ? 2 : 1);
}

// The start of the character that ends at pos, walking from the start so
// that a trail byte is never taken for a character of its own.
std::size_t PreviousBoundary(const std::string& text, std::size_t pos) {
  std::size_t previous = 0;
  for (std::size_t at = 0; at < pos; at = NextBoundary(text, at)) previous = at;
  return previous;
}

// The nearest boundary at or before pos.
std::size_t Snap(const std::string& text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  std::size_t at = 0;
  while (NextBoundary(text, at) <= pos && at < text.size()) at = NextBoundary(text, at);
  return at;
}

EditBuffer Collapsed(EditBuffer buffer, std::size_t caret) {
  buffer.anchor = caret;
  buffer.caret = caret;
  return buffer;
}

EditBuffer Erase(EditBuffer buffer, std::size_t from, std::size_t to) {
  buffer.text.erase(from, to - from);
  return Collapsed(buffer, from);
}

}  // namespace

EditBuffer EditBuffer::Of(const platform::Control& control) {
  EditBuffer buffer;
  buffer.text = control.text;
  auto clamp = [&](int pos) {
    return pos < 0 || static_cast<std::size_t>(pos) > buffer.text.size()
               ? buffer.text.size()
               : Snap(buffer.text, static_cast<std::size_t>(pos));
  };
  buffer.anchor = control.selStart < 0 ? 0 : clamp(control.selStart);
  buffer.caret = clamp(control.selEnd);
  return buffer;
}

EditBuffer ApplyEditKey(EditBuffer buffer, EditKey key) {
  const std::string& text = buffer.text;
  std::size_t start = buffer.SelectionStart();
  std::size_t end = buffer.SelectionEnd();
  bool selection = buffer.HasSelection();
  switch (key) {
    case EditKey::kLeft:
      return Collapsed(buffer, selection ? start : PreviousBoundary(text, buffer.caret));
    case EditKey::kRight:
      return Collapsed(buffer, selection ? end : NextBoundary(text, buffer.caret));
    case EditKey::kHome:
      return Collapsed(buffer, 0);
    case EditKey::kEnd:
      return Collapsed(buffer, text.size());
    case EditKey::kBackspace:
      if (selection) return Erase(buffer, start, end);
      if (buffer.caret == 0) return buffer;
      return Erase(buffer, PreviousBoundary(text, buffer.caret), buffer.caret);
    case EditKey::kDelete:
      if (selection) return Erase(buffer, start, end);
      return Erase(buffer, buffer.caret, NextBoundary(text, buffer.caret));
  }
  return buffer;
}

EditBuffer InsertText(EditBuffer buffer, std::string_view cp932) {
  std::size_t start = buffer.SelectionStart();
  buffer.text.replace(start, buffer.SelectionEnd() - start, cp932);
  return Collapsed(buffer, start + cp932.size());
}

}  // namespace terminal
