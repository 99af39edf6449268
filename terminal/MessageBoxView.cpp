#include "terminal/MessageBoxView.h"

#include <algorithm>

#include "platform/text/WinTypes.h"
#include "platform/ui/UiTranscript.h"
#include "resources/Texts.h"
#include "terminal/CellText.h"
#include "terminal/SizeNotice.h"

namespace terminal {
namespace {

constexpr int kMaxBoxCols = 76;
constexpr int kMinTextCols = 20;  // narrower, a Japanese sentence is hard to read

std::wstring IconWord(uint32_t style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
      return taxlink::texts::kTerminalIconError;
    case MB_ICONQUESTION:
      return taxlink::texts::kTerminalIconQuestion;
    case MB_ICONWARNING:
      return taxlink::texts::kTerminalIconWarning;
    case MB_ICONINFORMATION:
      return taxlink::texts::kTerminalIconInformation;
    default:
      return std::wstring();
  }
}

}  // namespace

MessageBoxView::MessageBoxView(std::string_view text, std::string_view caption, uint32_t style)
    : text_(ToWide(text)), caption_(ToWide(caption)), icon_(IconWord(style)), style_(style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons_ = {{L"OK", "ok", 0}, {taxlink::texts::kTerminalCancel, "cancel", 0}};
      break;
    case MB_YESNO:
      buttons_ = {{taxlink::texts::kTerminalYes, "yes", L'Y'},
                  {taxlink::texts::kTerminalNo, "no", L'N'}};
      break;
    default:
      buttons_ = {{L"OK", "ok", 0}};
      break;
  }
}

MessageBoxView::BoxLayout MessageBoxView::Layout(int gridRows, int gridCols) const {
  BoxLayout layout;
  layout.iconCells = icon_.empty() ? 0 : TextWidth(icon_) + 2;
  for (const Button& button : buttons_) layout.buttonsCells += TextWidth(button.label) + 4 + 2;
  layout.neededCols = std::max(layout.buttonsCells + 4, kMinTextCols + layout.iconCells + 6);
  int maxCols = std::min(std::max(gridCols, layout.neededCols) - 2, kMaxBoxCols);
  layout.lines = WrapCells(text_, std::max(1, maxCols - 4 - layout.iconCells));
  int widest = 0;
  for (const std::wstring& line : layout.lines) widest = std::max(widest, TextWidth(line));
  int cols =
      std::max({widest + layout.iconCells + 4, layout.buttonsCells + 2, TextWidth(caption_) + 8});
  cols = std::min(cols, maxCols);
  // Frame, a blank line, the text, a blank line, the buttons, the frame;
  // the help line below.
  int rows = static_cast<int>(layout.lines.size()) + 5;
  layout.neededRows = rows + 1;
  layout.fits = gridCols >= layout.neededCols && gridRows >= layout.neededRows;
  layout.box = {std::max(0, (gridRows - 1 - rows) / 2), std::max(0, (gridCols - cols) / 2), rows,
                cols};
  return layout;
}

void MessageBoxView::Paint(CellGrid& grid) {
  BoxLayout layout = Layout(grid.Rows(), grid.Cols());
  shown_ = layout.fits;
  if (!layout.fits) {
    // Drawn over the dialog's own notice it would garble both: the box
    // waits for room instead.
    PaintSizeNotice(grid, layout.neededCols, layout.neededRows);
    return;
  }
  const CellRect& box = layout.box;
  int cols = box.cols;
  int iconCells = layout.iconCells;
  grid.Fill(box, 0);
  grid.Frame(box, caption_, kBold);
  int textRow = box.row + 2;
  if (!icon_.empty()) grid.Put(textRow, box.col + 2, icon_, kBold);
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    grid.Put(textRow + static_cast<int>(i), box.col + 2 + iconCells, layout.lines[i], 0,
             cols - 4 - iconCells);
  }
  int col = box.col + (cols - layout.buttonsCells + 2) / 2;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    unsigned look = i == focus_ ? (kReverse | kBold) : 0;
    col += grid.Put(box.row + box.rows - 2, col, L"[ " + buttons_[i].label + L" ]", look) + 2;
  }
}

std::wstring MessageBoxView::HelpLine() const {
  if (!shown_) return std::wstring();
  if (buttons_.size() == 1) return L"Enter:OK";
  std::wstring help = taxlink::texts::kTerminalMessageBoxHelp;
  if (buttons_.front().hotkey != 0)
    help += taxlink::texts::kTerminalYesNoHelp;
  else
    help += taxlink::texts::kTerminalEscHelp;
  return help;
}

std::string MessageBoxView::HandleKey(const Key& key) {
  if (!shown_) {
    return key.kind == Key::kEscape ? platform::UiTranscript::SafeAnswer(style_) : std::string();
  }
  std::size_t count = buttons_.size();
  switch (key.kind) {
    case Key::kTab:
    case Key::kRight:
    case Key::kDown:
      focus_ = (focus_ + 1) % count;
      return std::string();
    case Key::kBackTab:
    case Key::kLeft:
    case Key::kUp:
      focus_ = (focus_ + count - 1) % count;
      return std::string();
    case Key::kEnter:
      return buttons_[focus_].answer;
    case Key::kEscape:
      for (const Button& button : buttons_) {
        if (button.answer == "cancel") return button.answer;
      }
      return count == 1 ? buttons_.front().answer : std::string();
    case Key::kChar: {
      if (key.ch == L' ') return buttons_[focus_].answer;
      wchar_t c = key.ch >= L'a' && key.ch <= L'z' ? key.ch - L'a' + L'A' : key.ch;
      for (const Button& button : buttons_) {
        if (button.hotkey != 0 && button.hotkey == c) return button.answer;
      }
      return std::string();
    }
    default:
      return std::string();
  }
}

}  // namespace terminal
