#ifndef TAXLINK_TERMINAL_EDITFIELD_H_
#define TAXLINK_TERMINAL_EDITFIELD_H_

#include <string>

#include "terminal/CellGrid.h"
#include "terminal/EditBuffer.h"
#include "terminal/Key.h"

namespace terminal {

// How an edit field looks: one row of cols cells from (row, col); the text
// scrolled so that the caret is in view (scroll: the first cell shown, kept
// by the caller between paints); the selection reversed and the cursor on
// the caret when focused.
struct EditFieldLook {
  int row = 0;
  int col = 0;
  int cols = 1;
  bool focused = false;
  bool enabled = true;
  bool rightAligned = false;
};
void PaintEditField(CellGrid& grid, const EditBuffer& buffer, const EditFieldLook& look,
                    int* scroll);

// The result of an editing key; false when the key does not edit (a typed
// character without a Shift_JIS form does not).
bool EditByKey(const EditBuffer& buffer, const Key& key, EditBuffer* after);

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_EDITFIELD_H_
