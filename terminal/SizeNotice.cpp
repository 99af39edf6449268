#include "terminal/SizeNotice.h"

#include <string>
#include <vector>

#include "resources/Texts.h"
#include "terminal/CellText.h"

namespace terminal {

void PaintSizeNotice(CellGrid& grid, int neededCols, int neededRows) {
  grid.Clear();
  if (grid.Cols() < 1 || grid.Rows() < 1) return;
  std::wstring needed = std::to_wstring(neededCols) + L"x" + std::to_wstring(neededRows);
  std::wstring now = std::to_wstring(grid.Cols()) + L"x" + std::to_wstring(grid.Rows());
  const std::wstring text = taxlink::texts::kTerminalTooSmall + needed +
                            taxlink::texts::kTerminalNeedsMore + now +
                            taxlink::texts::kTerminalWidenIt;
  std::vector<std::wstring> lines = WrapCells(text, grid.Cols());
  int row = (grid.Rows() - static_cast<int>(lines.size())) / 2;
  if (row < 0) row = 0;
  for (const std::wstring& line : lines) {
    int width = TextWidth(line);
    grid.Put(row++, width < grid.Cols() ? (grid.Cols() - width) / 2 : 0, line, kBold);
  }
}

}  // namespace terminal
