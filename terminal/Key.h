#ifndef TAXLINK_TERMINAL_KEY_H_
#define TAXLINK_TERMINAL_KEY_H_

namespace terminal {

// One key press as the terminal delivers it.
struct Key {
  enum Kind {
    kNone,  // nothing within the wait
    kChar,
    kEnter,
    kEscape,
    kTab,
    kBackTab,
    kF1,
    kF12,  // also Ctrl+R, for terminals that keep F12 for themselves
    kLeft,
    kRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kPageUp,
    kPageDown,
    kBackspace,
    kDelete,
    kResize,  // the terminal changed its size
  };
  Kind kind = kNone;
  wchar_t ch = 0;    // kChar
  bool alt = false;  // pressed with Alt (sent as Esc first)
};

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_KEY_H_
