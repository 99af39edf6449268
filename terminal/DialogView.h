#ifndef TAXLINK_TERMINAL_DIALOGVIEW_H_
#define TAXLINK_TERMINAL_DIALOGVIEW_H_

#include <map>
#include <string>
#include <vector>

#include "mvhost/lib/ToolTipRegistry.h"
#include "terminal/CellGrid.h"
#include "terminal/CellLayout.h"
#include "terminal/Key.h"

namespace platform {
class Dialog;
struct Control;
}  // namespace platform

namespace terminal {

// A dialog of the model drawn in character cells and driven by keys. It only
// renders and translates: every key becomes one of the model's User*
// operations, and editing keys end in UserSetText, so that limits,
// digits-only edits, focus order and all of the dialog's own rules stay in
// the model.
class DialogView {
 public:
  explicit DialogView(platform::Dialog& dialog) : dialog_(dialog) {}

  platform::Dialog& Model() { return dialog_; }

  // Draws the dialog centred on the grid, or a request for a larger
  // terminal when it does not fit. The active dialog shows its focus and
  // the caret of its focused edit. tips: the dialog's tooltips.
  void Paint(CellGrid& grid, bool active, const std::vector<mvhost::ToolTip>& tips);
  // The help line: the tooltip of the line the focus is on, else the keys.
  std::wstring HelpLine(const CellGrid& grid, const std::vector<mvhost::ToolTip>& tips) const;
  // The tooltip text that F1 shows: that of the focus's line, else the
  // dialog's first; empty when the dialog has none.
  std::string HelpText(const std::vector<mvhost::ToolTip>& tips) const;

  enum class Outcome { kDone, kShowHelp, kRefused };
  Outcome HandleKey(const Key& key, const CellGrid& grid);

 private:
  void PaintControl(CellGrid& grid, const platform::Control& control, const CellRect& cells,
                    bool active, bool hasTip);
  void PaintEdit(CellGrid& grid, const platform::Control& control, int row, int col, int cols,
                 bool focused);
  bool Edit(const platform::Control& control, const Key& key);
  const mvhost::ToolTip* TipAtFocus(const std::vector<mvhost::ToolTip>& tips) const;
  DialogLayout Layout(const CellGrid& grid) const;

  platform::Dialog& dialog_;
  std::map<int, int> scroll_;  // first shown cell of each edit
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_DIALOGVIEW_H_
