#include "terminal/DialogView.h"

#include "platform/dialog/Dialog.h"
#include "platform/dialog/Mnemonic.h"
#include "resources/Texts.h"
#include "terminal/CellLayout.h"
#include "terminal/CellText.h"
#include "terminal/EditBuffer.h"
#include "terminal/EditField.h"
#include "terminal/SizeNotice.h"

namespace terminal {
namespace {

using platform::Control;
using platform::ControlKind;

// A control text without its mnemonic marker; underline is the cell of the
// underlined character (-1 when none).
struct ShownText {
  std::wstring text;
  int underline = -1;
};

ShownText Shown(const std::string& cp932) {
  platform::Mnemonic mnemonic = platform::ParseMnemonic(cp932);
  ShownText shown;
  shown.text = ToWide(mnemonic.shown);
  if (mnemonic.underline != std::string::npos) {
    shown.underline = TextWidth(ToWide(mnemonic.shown.substr(0, mnemonic.underline)));
  }
  return shown;
}

// Writes shown text and underlines its mnemonic when it was written;
// returns the cells written.
int PutShown(CellGrid& grid, int row, int col, const ShownText& shown, unsigned attributes,
             int cells) {
  int used = grid.Put(row, col, shown.text, attributes, cells);
  if (shown.underline >= 0 && shown.underline < used) {
    grid.SetAttributes(row, col + shown.underline, 1, attributes | kUnderline);
  }
  return used;
}

// The label of a button that a key names in its text, "実行(F12)" -> "実行".
bool ButtonForKey(const Control& control, const std::wstring& keyName, std::wstring* label) {
  if (control.kind != ControlKind::kPushButton) return false;
  std::wstring text = Shown(control.text).text;
  std::wstring marker = L"(" + keyName + L")";
  std::size_t at = text.find(marker);
  if (at == std::wstring::npos) return false;
  *label = text.substr(0, at) + text.substr(at + marker.size());
  return true;
}

// The layout of a live control is that of its template entry.
platform::ControlTemplate TemplateOf(const Control& control) {
  return platform::ControlTemplate{control.id, control.kind, control.rect, nullptr, control.style};
}

std::wstring FirstLine(const std::string& cp932) {
  std::wstring text = ToWide(cp932);
  return text.substr(0, text.find(L'\n'));
}

}  // namespace

DialogLayout DialogView::Layout(const CellGrid& grid) const {
  return LayOut(dialog_.Template(), grid.Rows(), grid.Cols());
}

void DialogView::Paint(CellGrid& grid, bool active, const std::vector<mvhost::ToolTip>& tips) {
  DialogLayout layout = Layout(grid);
  if (!layout.fits) {
    PaintSizeNotice(grid, layout.neededCols, layout.neededRows);
    return;
  }
  grid.Fill(layout.frame, 0);
  grid.Frame(layout.frame, ToWide(dialog_.Caption()), active ? kBold : 0);
  for (const Control& control : dialog_.Controls()) {
    if (!control.visible) continue;
    bool hasTip = false;
    for (const mvhost::ToolTip& tip : tips) hasTip = hasTip || tip.controlId == control.id;
    PaintControl(grid, control, layout.Place(TemplateOf(control)), active, hasTip);
  }
}

void DialogView::PaintControl(CellGrid& grid, const Control& control, const CellRect& cells,
                              bool active, bool hasTip) {
  int row = cells.row;
  int col = cells.col;
  bool focused = active && control.id == dialog_.GetFocusId() && control.id != -1;
  unsigned attributes = control.enabled ? 0 : kDim;
  switch (control.kind) {
    case ControlKind::kLabel: {
      ShownText shown = Shown(control.text);
      int width = TextWidth(shown.text);
      if (width > cells.cols) width = cells.cols;
      if ((control.style & platform::kStyleRight) != 0) {
        col += cells.cols - width;
      } else if ((control.style & platform::kStyleCenter) != 0) {
        col += (cells.cols - width) / 2;
      }
      PutShown(grid, row, col, shown, attributes, cells.cols);
      break;
    }
    case ControlKind::kGroupBox: {
      ShownText shown = Shown(control.text);
      grid.Frame({row, col, cells.rows, cells.cols}, L"", attributes);
      // The caption interrupts the top line after two cells.
      grid.Put(row, col + 2, L" ", attributes);
      int used = PutShown(grid, row, col + 3, shown, attributes, cells.cols - 5);
      grid.Put(row, col + 3 + used, L" ", attributes);
      break;
    }
    case ControlKind::kEdit:
      PaintEdit(grid, control, row, col, cells.cols, focused);
      break;
    case ControlKind::kPushButton: {
      ShownText shown = Shown(control.text);
      int inner = cells.cols - 2;
      int width = TextWidth(shown.text) < inner ? TextWidth(shown.text) : inner;
      unsigned look = focused ? (attributes | kReverse | kBold) : attributes;
      grid.Fill({row, col, 1, cells.cols}, look);
      // A button that cannot be pressed loses its brackets: terminals
      // without a dim attribute show it apart that way too.
      if (control.enabled) {
        grid.Put(row, col, L"[", look);
        grid.Put(row, col + cells.cols - 1, L"]", look);
      } else {
        shown.underline = -1;
      }
      PutShown(grid, row, col + 1 + (inner - width) / 2, shown, look, inner);
      break;
    }
    case ControlKind::kRadioButton: {
      // Disabled: the mark without its parentheses, for the same reason.
      const wchar_t* mark = control.enabled ? (control.checked ? L"(*) " : L"( ) ")
                                            : (control.checked ? L" *  " : L"    ");
      int used = grid.Put(row, col, mark, attributes, cells.cols);
      ShownText shown = Shown(control.text);
      if (!control.enabled) shown.underline = -1;
      PutShown(grid, row, col + used, shown, focused ? (attributes | kReverse) : attributes,
               cells.cols - used);
      break;
    }
    case ControlKind::kPicture:
      // The picture carries a tooltip; it shows as a mark the help line explains.
      if (hasTip) grid.Put(row, col, L"[?]", kBold, cells.cols);
      break;
    case ControlKind::kProgressBar: {
      int span = control.rangeMax - control.rangeMin;
      long long filled =
          span > 0 ? static_cast<long long>(control.position - control.rangeMin) * cells.cols / span
                   : 0;
      // A smooth bar fills evenly; the others in blocks of two cells.
      bool smooth = (control.style & platform::kStyleSmooth) != 0;
      for (int r = 0; r < cells.rows; ++r) {
        grid.Fill({row + r, col, 1, cells.cols}, kDim);
        for (int c = 0; c < static_cast<int>(filled); ++c) {
          if (smooth || c % 3 != 2) grid.Fill({row + r, col + c, 1, 1}, kReverse);
        }
      }
      break;
    }
  }
}

void DialogView::PaintEdit(CellGrid& grid, const Control& control, int row, int col, int cols,
                           bool focused) {
  EditFieldLook look;
  look.row = row;
  look.col = col;
  look.cols = cols;
  look.focused = focused;
  look.enabled = control.enabled;
  look.rightAligned = (control.style & platform::kStyleRight) != 0;
  PaintEditField(grid, EditBuffer::Of(control), look, &scroll_[control.id]);
}

const mvhost::ToolTip* DialogView::TipAtFocus(const std::vector<mvhost::ToolTip>& tips) const {
  const Control* focused = dialog_.GetControl(dialog_.GetFocusId());
  if (focused == nullptr) return nullptr;
  CellRect focusCells = ToCells(TemplateOf(*focused));
  for (const mvhost::ToolTip& tip : tips) {
    const Control* carrier = dialog_.GetControl(tip.controlId);
    if (carrier == nullptr) continue;
    // A tooltip belongs to its control and to what stands on its line (the
    // picture that carries it sits beside the control it explains).
    CellRect tipCells = ToCells(TemplateOf(*carrier));
    if (tip.controlId == focused->id || (tipCells.row < focusCells.row + focusCells.rows &&
                                         focusCells.row < tipCells.row + tipCells.rows)) {
      return &tip;
    }
  }
  return nullptr;
}

std::wstring DialogView::HelpLine(const CellGrid& grid,
                                  const std::vector<mvhost::ToolTip>& tips) const {
  if (!Layout(grid).fits) return std::wstring();
  if (const mvhost::ToolTip* tip = TipAtFocus(tips)) {
    return L"[?] " + FirstLine(tip->text) + taxlink::texts::kTerminalTipFullText;
  }
  std::wstring help;
  std::wstring label;
  for (const Control& control : dialog_.Controls()) {
    if (ButtonForKey(control, L"F12", &label)) help += L"F12/Ctrl+R:" + label + L"  ";
  }
  for (const Control& control : dialog_.Controls()) {
    if (ButtonForKey(control, L"Esc", &label)) help += L"Esc:" + label + L"  ";
  }
  help += taxlink::texts::kTerminalDialogHelp;
  if (!tips.empty()) help += taxlink::texts::kTerminalTipHelp;
  return help;
}

std::string DialogView::HelpText(const std::vector<mvhost::ToolTip>& tips) const {
  if (const mvhost::ToolTip* tip = TipAtFocus(tips)) return tip->text;
  return tips.empty() ? std::string() : tips.front().text;
}

DialogView::Outcome DialogView::HandleKey(const Key& key, const CellGrid& grid) {
  // While the dialog cannot be seen only Esc is taken: the way out stays
  // open at any size.
  if (!Layout(grid).fits) {
    if (key.kind != Key::kEscape) return Outcome::kRefused;
    dialog_.UserKey(platform::kVkEscape, 0);
    return Outcome::kDone;
  }
  const Control* focused = dialog_.GetControl(dialog_.GetFocusId());
  bool inEdit = focused != nullptr && focused->kind == ControlKind::kEdit && focused->enabled;
  switch (key.kind) {
    case Key::kF12:
      dialog_.UserKey(platform::kVkF12, 0);
      return Outcome::kDone;
    case Key::kEnter:
      dialog_.UserKey(platform::kVkReturn, 0);
      return Outcome::kDone;
    case Key::kEscape:
      dialog_.UserKey(platform::kVkEscape, 0);
      return Outcome::kDone;
    case Key::kTab:
      dialog_.UserKey(platform::kVkTab, 0);
      return Outcome::kDone;
    case Key::kBackTab:
      dialog_.UserKey(platform::kVkTab, platform::kModShift);
      return Outcome::kDone;
    case Key::kF1:
      return HelpText(mvhost::ToolTipsOf(&dialog_)).empty() ? Outcome::kRefused
                                                            : Outcome::kShowHelp;
    case Key::kLeft:
    case Key::kRight:
    case Key::kUp:
    case Key::kDown:
      if (inEdit) return Edit(*focused, key) ? Outcome::kDone : Outcome::kRefused;
      dialog_.UserKey(key.kind == Key::kLeft    ? platform::kVkLeft
                      : key.kind == Key::kRight ? platform::kVkRight
                      : key.kind == Key::kUp    ? platform::kVkUp
                                                : platform::kVkDown,
                      0);
      return Outcome::kDone;
    case Key::kChar:
      if (key.alt) {
        wchar_t c = key.ch >= L'a' && key.ch <= L'z' ? key.ch - L'a' + L'A' : key.ch;
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) {
          dialog_.UserKey(static_cast<int>(c), platform::kModAlt);
          return Outcome::kDone;
        }
        return Outcome::kRefused;
      }
      if (!inEdit && focused != nullptr && key.ch == L' ') {
        // The space bar presses the focused button.
        return dialog_.UserClick(focused->id) ? Outcome::kDone : Outcome::kRefused;
      }
      if (!inEdit) {
        // Outside an edit a letter or digit alone is a mnemonic.
        wchar_t c = key.ch >= L'a' && key.ch <= L'z' ? key.ch - L'a' + L'A' : key.ch;
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) {
          dialog_.UserKey(static_cast<int>(c), 0);
          return Outcome::kDone;
        }
      }
      [[fallthrough]];
    case Key::kHome:
    case Key::kEnd:
    case Key::kBackspace:
    case Key::kDelete:
      if (inEdit) return Edit(*focused, key) ? Outcome::kDone : Outcome::kRefused;
      return Outcome::kRefused;
    default:
      return Outcome::kRefused;
  }
}

bool DialogView::Edit(const Control& control, const Key& key) {
  EditBuffer before = EditBuffer::Of(control);
  EditBuffer after;
  if (!EditByKey(before, key, &after)) return false;
  // The model takes the key's result whole or refuses it (a letter in a
  // month, a text past the limit), leaving the edit as it was.
  return dialog_.UserEditText(control.id, after.text, static_cast<int>(after.anchor),
                              static_cast<int>(after.caret));
}

}  // namespace terminal
