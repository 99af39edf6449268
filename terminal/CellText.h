#ifndef TAXLINK_TERMINAL_CELLTEXT_H_
#define TAXLINK_TERMINAL_CELLTEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace terminal {

// The program's Shift_JIS text as the terminal shows it: wide characters
// and the cells they take under the locale (full-width forms two).
std::wstring ToWide(std::string_view cp932);
// The Shift_JIS bytes of a typed character; false when it has none.
bool ToCp932(wchar_t typed, std::string* out);

// The character as the locale can show it: itself, else its other form of
// the Japanese character sets (～ U+FF5E and 〜 U+301C, － and −, ∥ and ‖,
// ￠ ￡ ￢ and ¢ £ ¬: code page 932 and the EUC-JP or Shift_JIS locales map
// these bytes differently), else "?".
wchar_t ShowableForm(wchar_t c);

// Cells of one character: 2 for full-width ones, 0 for combining marks; a
// character the locale cannot print counts 1 (it is shown as "?").
int CellWidth(wchar_t c);
int TextWidth(std::wstring_view text);
// The longest start of text that fits in the cells.
std::wstring FitCells(std::wstring_view text, int cells);
// Lines of at most `cells` cells: broken at "\n" and where a line is full,
// never inside a character.
std::vector<std::wstring> WrapCells(std::wstring_view text, int cells);

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_CELLTEXT_H_
