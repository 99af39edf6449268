#ifndef TAXLINK_TERMINAL_EDITBUFFER_H_
#define TAXLINK_TERMINAL_EDITBUFFER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {
struct Control;
}

namespace terminal {

// The text of a single-line edit as the terminal edits it: Shift_JIS bytes
// with a selection from anchor to caret (empty: just the caret), neither
// inside a double-byte character. What the text may hold is not decided
// here: the dialog model takes or refuses the result.
struct EditBuffer {
  std::string text;
  std::size_t anchor = 0;
  std::size_t caret = 0;

  // The edit control's text and selection (selEnd -1: to the end).
  static EditBuffer Of(const platform::Control& control);
  bool HasSelection() const { return anchor != caret; }
  std::size_t SelectionStart() const { return anchor < caret ? anchor : caret; }
  std::size_t SelectionEnd() const { return anchor < caret ? caret : anchor; }
};

enum class EditKey { kLeft, kRight, kHome, kEnd, kBackspace, kDelete };

// Caret moves drop the selection (Left and Right to its start or end);
// Backspace and Delete remove the selection or one character.
EditBuffer ApplyEditKey(EditBuffer buffer, EditKey key);
// Typing: the selection is replaced by the bytes and the caret follows them.
EditBuffer InsertText(EditBuffer buffer, std::string_view cp932);

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_EDITBUFFER_H_
