#include "terminal/CellGrid.h"

#include <cwchar>

#include "terminal/CellText.h"

namespace terminal {

CellGrid::CellGrid(int rows, int cols)
    : rows_(rows < 0 ? 0 : rows),
      cols_(cols < 0 ? 0 : cols),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_)) {}

void CellGrid::Clear() {
  for (Cell& cell : cells_) cell = Cell();
  cursorVisible_ = false;
}

void CellGrid::SetCell(int row, int col, wchar_t ch, unsigned attributes, bool continuation) {
  Cell& cell = cells_[row * cols_ + col];
  // Half of a full-width character is never left behind.
  if (cell.continuation && !continuation && col > 0) {
    Cell& head = cells_[row * cols_ + col - 1];
    head.ch = L' ';
  } else if (!cell.continuation && col + 1 < cols_ && cells_[row * cols_ + col + 1].continuation) {
    Cell& tail = cells_[row * cols_ + col + 1];
    tail.ch = L' ';
    tail.continuation = false;
  }
  cell.ch = ch;
  cell.attributes = attributes;
  cell.continuation = continuation;
}

int CellGrid::Put(int row, int col, std::wstring_view text, unsigned attributes, int maxCells) {
  if (row < 0 || row >= rows_ || col < 0) return 0;
  int limit = cols_ - col < maxCells ? cols_ - col : maxCells;
  int used = 0;
  for (wchar_t c : text) {
    // Frame characters become the terminal's own one-cell lines, whatever
    // width the locale gives the Unicode forms.
    bool frame = c >= kLineHorizontal && c <= kCornerBottomRight;
    if (!frame) c = ShowableForm(c);
    int width = frame ? 1 : ::wcwidth(c);
    if (width == 0) continue;  // combining marks are not kept apart
    if (width < 0) {
      c = L'?';
      width = 1;
    }
    if (used + width > limit) break;
    SetCell(row, col + used, c, attributes, false);
    if (width == 2) SetCell(row, col + used + 1, L' ', attributes, true);
    used += width;
  }
  return used;
}

void CellGrid::Fill(const CellRect& rect, unsigned attributes) {
  for (int r = rect.row; r < rect.row + rect.rows; ++r) {
    if (r < 0 || r >= rows_) continue;
    for (int c = rect.col; c < rect.col + rect.cols; ++c) {
      if (c >= 0 && c < cols_) SetCell(r, c, L' ', attributes, false);
    }
  }
}

void CellGrid::SetAttributes(int row, int col, int cells, unsigned attributes) {
  if (row < 0 || row >= rows_) return;
  for (int c = col; c < col + cells; ++c) {
    if (c >= 0 && c < cols_) cells_[row * cols_ + c].attributes = attributes;
  }
}

void CellGrid::Frame(const CellRect& rect, std::wstring_view title, unsigned attributes) {
  if (rect.rows < 2 || rect.cols < 2) return;
  int bottom = rect.row + rect.rows - 1;
  int right = rect.col + rect.cols - 1;
  for (int c = rect.col + 1; c < right; ++c) {
    Put(rect.row, c, std::wstring(1, kLineHorizontal), attributes);
    Put(bottom, c, std::wstring(1, kLineHorizontal), attributes);
  }
  for (int r = rect.row + 1; r < bottom; ++r) {
    Put(r, rect.col, std::wstring(1, kLineVertical), attributes);
    Put(r, right, std::wstring(1, kLineVertical), attributes);
  }
  Put(rect.row, rect.col, std::wstring(1, kCornerTopLeft), attributes);
  Put(rect.row, right, std::wstring(1, kCornerTopRight), attributes);
  Put(bottom, rect.col, std::wstring(1, kCornerBottomLeft), attributes);
  Put(bottom, right, std::wstring(1, kCornerBottomRight), attributes);
  if (!title.empty() && rect.cols > 6) {
    std::wstring padded = L" " + std::wstring(title) + L" ";
    Put(rect.row, rect.col + 2, padded, attributes, rect.cols - 4);
  }
}

void CellGrid::ShowCursor(int row, int col) {
  cursorVisible_ = row >= 0 && row < rows_ && col >= 0 && col < cols_;
  cursorRow_ = row;
  cursorCol_ = col;
}

std::wstring CellGrid::RowText(int row) const {
  std::wstring text;
  if (row < 0 || row >= rows_) return text;
  for (int c = 0; c < cols_; ++c) {
    const Cell& cell = At(row, c);
    if (!cell.continuation) text.push_back(cell.ch);
  }
  return text;
}

}  // namespace terminal
