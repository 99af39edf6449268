#ifndef TAXLINK_TERMINAL_MESSAGEBOXVIEW_H_
#define TAXLINK_TERMINAL_MESSAGEBOXVIEW_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/CellGrid.h"
#include "terminal/Key.h"

namespace terminal {

// A message box as a framed box over whatever is on the screen: the caption
// in its frame, an icon word, the text wrapped to the screen and the
// buttons of the style (OK, OK/キャンセル, はい(Y)/いいえ(N)); the first
// button has the focus.
class MessageBoxView {
 public:
  MessageBoxView(std::string_view text, std::string_view caption, uint32_t style);

  // The box, or a request for a larger terminal when it does not fit.
  void Paint(CellGrid& grid);
  std::wstring HelpLine() const;
  // The answer ("ok", "cancel", "yes", "no") when the key ends the box;
  // empty otherwise. Esc answers Cancel, or OK when OK is the only button.
  // While the box does not fit the screen, only Esc is taken: it gives the
  // safe answer (No, else Cancel, else OK), so that there is a way out.
  std::string HandleKey(const Key& key);

 private:
  struct Button {
    std::wstring label;
    std::string answer;
    wchar_t hotkey;  // 0 when none
  };

  std::wstring text_;
  std::wstring caption_;
  std::wstring icon_;
  struct BoxLayout {
    CellRect box;
    std::vector<std::wstring> lines;
    int iconCells = 0;
    int buttonsCells = 0;
    bool fits = false;
    int neededCols = 0;
    int neededRows = 0;
  };
  BoxLayout Layout(int rows, int cols) const;

  uint32_t style_;
  std::vector<Button> buttons_;
  std::size_t focus_ = 0;
  bool shown_ = true;  // the last paint showed the box
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_MESSAGEBOXVIEW_H_
