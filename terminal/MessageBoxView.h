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

  void Paint(CellGrid& grid) const;
  std::wstring HelpLine() const;
  // The answer ("ok", "cancel", "yes", "no") when the key ends the box;
  // empty otherwise. Esc answers Cancel, or OK when OK is the only button.
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
  std::vector<Button> buttons_;
  std::size_t focus_ = 0;
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_MESSAGEBOXVIEW_H_
