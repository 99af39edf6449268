#ifndef TAXLINK_TERMINAL_CELLLAYOUT_H_
#define TAXLINK_TERMINAL_CELLLAYOUT_H_

#include "platform/dialog/DialogTemplate.h"

namespace terminal {

// A rectangle of character cells.
struct CellRect {
  int row = 0;
  int col = 0;
  int rows = 0;
  int cols = 0;
};

// Dialog units to cells: 13 dialog units make 4 columns and 11 make a row.
// Edges are rounded, so that neighbouring controls stay neighbours. A
// control less than two rows tall takes the one row its middle falls on,
// which keeps the rows of the conditions dialog evenly spaced as designed;
// a group box's bottom line lies on the row where its rectangle ends,
// below the controls inside it.
CellRect ToCells(const platform::ControlTemplate& control);

// A dialog placed on a screen: its frame (border included) centred above
// the help line, which takes the last row. The conditions dialog (255 x 228
// units) takes 80 x 23 cells, so an 80 x 24 terminal shows it; rows below
// the last control are the first to go on a short screen.
struct DialogLayout {
  CellRect frame;
  bool fits = false;
  // The smallest screen that shows the dialog, help line included.
  int neededRows = 0;
  int neededCols = 0;

  // A control's cells on the screen.
  CellRect Place(const platform::ControlTemplate& control) const;
};
DialogLayout LayOut(const platform::DialogTemplate& dialog, int screenRows, int screenCols);

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_CELLLAYOUT_H_
