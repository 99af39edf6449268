#include "terminal/MessageBoxView.h"

#include <algorithm>

#include "platform/WinTypes.h"
#include "terminal/CellText.h"

namespace terminal {
namespace {

constexpr int kMaxBoxCols = 76;

std::wstring IconWord(uint32_t style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONERROR: return L"[エラー]";
    case MB_ICONQUESTION: return L"[確認]";
    case MB_ICONWARNING: return L"[警告]";
    case MB_ICONINFORMATION: return L"[情報]";
    default: return std::wstring();
  }
}

}  // namespace

MessageBoxView::MessageBoxView(std::string_view text, std::string_view caption, uint32_t style)
    : text_(ToWide(text)), caption_(ToWide(caption)), icon_(IconWord(style)) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons_ = {{L"OK", "ok", 0}, {L"キャンセル", "cancel", 0}};
      break;
    case MB_YESNO:
      buttons_ = {{L"はい(Y)", "yes", L'Y'}, {L"いいえ(N)", "no", L'N'}};
      break;
    default:
      buttons_ = {{L"OK", "ok", 0}};
      break;
  }
}

void MessageBoxView::Paint(CellGrid& grid) const {
  int maxCols = std::min(grid.Cols() - 2, kMaxBoxCols);
  int iconCells = icon_.empty() ? 0 : TextWidth(icon_) + 2;
  std::vector<std::wstring> lines = WrapCells(text_, std::max(1, maxCols - 4 - iconCells));
  int widest = 0;
  for (const std::wstring& line : lines) widest = std::max(widest, TextWidth(line));
  int buttonsCells = 0;
  for (const Button& button : buttons_) buttonsCells += TextWidth(button.label) + 4 + 2;
  int cols = std::max({widest + iconCells + 4, buttonsCells + 2, TextWidth(caption_) + 8});
  cols = std::min(cols, maxCols);
  // Frame, a blank line, the text, a blank line, the buttons, the frame.
  int rows = static_cast<int>(lines.size()) + 5;
  if (rows > grid.Rows() - 1) {
    rows = std::max(5, grid.Rows() - 1);
    lines.resize(static_cast<std::size_t>(rows - 5));
  }
  CellRect box{(grid.Rows() - 1 - rows) / 2, (grid.Cols() - cols) / 2, rows, cols};
  if (box.row < 0) box.row = 0;
  if (box.col < 0) box.col = 0;
  grid.Fill(box, 0);
  grid.Frame(box, caption_, kBold);
  int textRow = box.row + 2;
  if (!icon_.empty()) grid.Put(textRow, box.col + 2, icon_, kBold);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    grid.Put(textRow + static_cast<int>(i), box.col + 2 + iconCells, lines[i], 0, cols - 4 - iconCells);
  }
  int col = box.col + (cols - buttonsCells + 2) / 2;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    unsigned look = i == focus_ ? (kReverse | kBold) : 0;
    col += grid.Put(box.row + rows - 2, col, L"[ " + buttons_[i].label + L" ]", look) + 2;
  }
}

std::wstring MessageBoxView::HelpLine() const {
  if (buttons_.size() == 1) return L"Enter:OK";
  std::wstring help = L"Tab:ボタン切替  Enter:決定";
  if (buttons_.front().hotkey != 0) help += L"  Y:はい  N:いいえ";
  else help += L"  Esc:キャンセル";
  return help;
}

std::string MessageBoxView::HandleKey(const Key& key) {
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
