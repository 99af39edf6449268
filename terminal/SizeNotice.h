#ifndef TAXLINK_TERMINAL_SIZENOTICE_H_
#define TAXLINK_TERMINAL_SIZENOTICE_H_

#include "terminal/CellGrid.h"

namespace terminal {

// Clears the grid and asks for a terminal of at least neededCols x
// neededRows cells, saying the size it has now. The text is wrapped to the
// grid, so that it is whole on any screen that has room for its words.
void PaintSizeNotice(CellGrid& grid, int neededCols, int neededRows);

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_SIZENOTICE_H_
