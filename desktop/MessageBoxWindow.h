#ifndef TAXLINK_DESKTOP_MESSAGEBOXWINDOW_H_
#define TAXLINK_DESKTOP_MESSAGEBOXWINDOW_H_

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace desktop {

// Shows a message box (MessageBox styles: buttons and icon) owned by owner
// (none: a window of its own) until the person answers. Returns "ok",
// "cancel", "yes" or "no"; the buttons read OK, キャンセル, はい and いいえ,
// the first is the default and Esc gives Cancel, No, or OK for a box with
// only OK.
std::string RunMessageBox(QWidget* owner, std::string_view text, std::string_view caption,
                          uint32_t style);

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_MESSAGEBOXWINDOW_H_
