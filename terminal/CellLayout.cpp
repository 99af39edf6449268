#include "terminal/CellLayout.h"

#include <algorithm>

namespace terminal {
namespace {

constexpr int kUnitsPerRow = 11;
constexpr int kTallControlUnits = 2 * kUnitsPerRow;

// Rounded to the nearest cell; dialog units are never negative here.
int Columns(int units) { return (units * 4 + 6) / 13; }
int Rows(int units) { return (units * 2 + kUnitsPerRow) / (kUnitsPerRow * 2); }

}  // namespace

CellRect ToCells(const platform::ControlTemplate& control) {
  const platform::Rect& rect = control.rect;
  CellRect cells;
  cells.col = Columns(rect.x);
  cells.cols = std::max(1, Columns(rect.x + rect.width) - cells.col);
  if (control.kind != platform::ControlKind::kGroupBox && rect.height < kTallControlUnits) {
    cells.row = Rows(rect.y + rect.height / 2);
    cells.rows = 1;
    return cells;
  }
  cells.row = Rows(rect.y);
  cells.rows = std::max(1, Rows(rect.y + rect.height) - cells.row);
  if (control.kind == platform::ControlKind::kGroupBox) ++cells.rows;
  return cells;
}

CellRect DialogLayout::Place(const platform::ControlTemplate& control) const {
  CellRect cells = ToCells(control);
  cells.row += frame.row + 1;
  cells.col += frame.col + 1;
  return cells;
}

DialogLayout LayOut(const platform::DialogTemplate& dialog, int screenRows, int screenCols) {
  DialogLayout layout;
  int full = Rows(dialog.rect.height);
  int content = 1;
  for (const platform::ControlTemplate& control : dialog.controls) {
    CellRect cells = ToCells(control);
    content = std::max(content, cells.row + cells.rows);
  }
  content = std::min(content, full);
  // Frame (2 rows) and help line (1 row) around the inside.
  int inside = full + 3 <= screenRows ? full : content;
  layout.neededRows = content + 3;
  layout.neededCols = Columns(dialog.rect.width) + 2;
  layout.frame.rows = inside + 2;
  layout.frame.cols = layout.neededCols;
  layout.fits = layout.neededRows <= screenRows && layout.neededCols <= screenCols;
  layout.frame.row = std::max(0, (screenRows - 1 - layout.frame.rows) / 2);
  layout.frame.col = std::max(0, (screenCols - layout.frame.cols) / 2);
  return layout;
}

}  // namespace terminal
