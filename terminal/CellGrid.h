#ifndef TAXLINK_TERMINAL_CELLGRID_H_
#define TAXLINK_TERMINAL_CELLGRID_H_

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/CellLayout.h"

namespace terminal {

// Cell attributes.
constexpr unsigned kBold = 1;
constexpr unsigned kReverse = 2;
constexpr unsigned kUnderline = 4;
constexpr unsigned kDim = 8;

// Frame characters; the screen turns them into the terminal's own lines.
constexpr wchar_t kLineHorizontal = L'\u2500';
constexpr wchar_t kLineVertical = L'\u2502';
constexpr wchar_t kCornerTopLeft = L'\u250C';
constexpr wchar_t kCornerTopRight = L'\u2510';
constexpr wchar_t kCornerBottomLeft = L'\u2514';
constexpr wchar_t kCornerBottomRight = L'\u2518';

// What the screen shows, cell by cell: the views paint here and the screen
// copies it to the terminal. A full-width character takes its cell and the
// next one, which is then marked as its continuation; writing over either
// half blanks the other.
class CellGrid {
 public:
  struct Cell {
    wchar_t ch = L' ';
    unsigned attributes = 0;
    bool continuation = false;
  };

  CellGrid(int rows, int cols);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  const Cell& At(int row, int col) const { return cells_[row * cols_ + col]; }

  void Clear();
  // Writes text from (row, col) in at most maxCells cells, never past the
  // right edge and never half a character; returns the cells written.
  // Characters the terminal cannot print become "?".
  int Put(int row, int col, std::wstring_view text, unsigned attributes, int maxCells = INT_MAX);
  // Blanks the rectangle with the attributes.
  void Fill(const CellRect& rect, unsigned attributes);
  // A frame on the rectangle's edge with the title in its top line.
  void Frame(const CellRect& rect, std::wstring_view title, unsigned attributes);
  void SetAttributes(int row, int col, int cells, unsigned attributes);

  // The terminal cursor: where the caret of the active edit is, if any.
  void ShowCursor(int row, int col);
  void HideCursor() { cursorVisible_ = false; }
  bool CursorVisible() const { return cursorVisible_; }
  int CursorRow() const { return cursorRow_; }
  int CursorCol() const { return cursorCol_; }

  // One row as text (continuation cells left out), for captures and tests.
  std::wstring RowText(int row) const;

 private:
  void SetCell(int row, int col, wchar_t ch, unsigned attributes, bool continuation);

  int rows_;
  int cols_;
  std::vector<Cell> cells_;
  bool cursorVisible_ = false;
  int cursorRow_ = 0;
  int cursorCol_ = 0;
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_CELLGRID_H_
