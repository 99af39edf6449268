#include "terminal/EditField.h"

#include "terminal/CellText.h"

namespace terminal {

void PaintEditField(CellGrid& grid, const EditBuffer& buffer, const EditFieldLook& look,
                    int* scroll) {
  std::wstring text = ToWide(buffer.text);
  int caret = TextWidth(ToWide(buffer.text.substr(0, buffer.caret)));
  int selectionStart = TextWidth(ToWide(buffer.text.substr(0, buffer.SelectionStart())));
  int selectionEnd = TextWidth(ToWide(buffer.text.substr(0, buffer.SelectionEnd())));
  int width = TextWidth(text);
  int cols = look.cols;
  // The caret stays in view; a text that got shorter is shown up to its end.
  if (caret < *scroll) *scroll = caret;
  if (caret >= *scroll + cols) *scroll = caret - cols + 1;
  if (*scroll > 0 && width - *scroll < cols - 1)
    *scroll = width - cols + 1 > 0 ? width - cols + 1 : 0;
  int offset = 0;
  if (*scroll == 0 && width < cols && look.rightAligned) offset = cols - width - 1;
  unsigned attributes = look.enabled ? kUnderline : kDim;
  grid.Fill({look.row, look.col, 1, cols}, attributes);
  int cell = 0;
  for (wchar_t c : text) {
    int w = CellWidth(c);
    int at = cell - *scroll + offset;
    bool selected = look.focused && cell >= selectionStart && cell < selectionEnd;
    if (at >= 0 && at + w <= cols) {
      grid.Put(look.row, look.col + at, std::wstring(1, c),
               selected ? (attributes | kReverse) : attributes);
    }
    cell += w;
  }
  if (look.focused) grid.ShowCursor(look.row, look.col + caret - *scroll + offset);
}

bool EditByKey(const EditBuffer& buffer, const Key& key, EditBuffer* after) {
  switch (key.kind) {
    case Key::kLeft:
    case Key::kUp:
      *after = ApplyEditKey(buffer, EditKey::kLeft);
      return true;
    case Key::kRight:
    case Key::kDown:
      *after = ApplyEditKey(buffer, EditKey::kRight);
      return true;
    case Key::kHome:
      *after = ApplyEditKey(buffer, EditKey::kHome);
      return true;
    case Key::kEnd:
      *after = ApplyEditKey(buffer, EditKey::kEnd);
      return true;
    case Key::kBackspace:
      *after = ApplyEditKey(buffer, EditKey::kBackspace);
      return true;
    case Key::kDelete:
      *after = ApplyEditKey(buffer, EditKey::kDelete);
      return true;
    case Key::kChar: {
      if (key.alt) return false;
      std::string typed;
      if (!ToCp932(key.ch, &typed)) return false;
      *after = InsertText(buffer, typed);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace terminal
