#ifndef TAXLINK_TERMINAL_TERMINALSCREEN_H_
#define TAXLINK_TERMINAL_TERMINALSCREEN_H_

#include <termios.h>

#include <string>

#include "terminal/CellGrid.h"
#include "terminal/Key.h"

namespace terminal {

// The process's terminal under curses (ncursesw). The screen is taken on
// first use and given back with Leave, at the end of the process, or when a
// signal ends it (see TerminalRestore.h). One object serves the process.
class TerminalScreen {
 public:
  // Whether standard input and output are a terminal that curses can drive,
  // in a locale whose encoding can show Japanese; why not otherwise. A C or
  // POSIX locale is taken as C.UTF-8.
  static bool CanDrive(std::string* why);
  // The screen in use now, or null (for the end of the process).
  static TerminalScreen* Current();

  TerminalScreen();
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  // Takes the terminal (again); false when curses cannot start on it or the
  // terminal has hung up.
  bool Enter();
  // Gives the terminal back as it was; Enter takes it again later.
  void Leave();
  bool Active() const { return active_; }

  int Rows() const;
  int Cols() const;
  // Copies the grid to the terminal.
  void Show(const CellGrid& grid);
  // The next key, waiting at most timeoutMs (0: only what is there, -1:
  // until one comes); kNone when none came, kResize after a size change.
  // A terminal that hung up is given back (Active() turns false).
  Key ReadKey(int timeoutMs);
  // Takes a size change that came meanwhile (for repaints without keys).
  void TakeResize();
  void Beep();
  // Drops the keys typed ahead, so that they do not answer a message box
  // the person has not seen yet.
  void DiscardTypeAhead();

 private:
  bool ApplyWindowChange();
  // Standard error on this terminal is captured while curses holds it.
  void CaptureStderrOnTerminal();

  struct ScreenHandle;
  ScreenHandle* handle_ = nullptr;
  bool active_ = false;
  bool hungUp_ = false;
  termios saved_{};
  std::string leaveSequence_;
};

// Gives the terminal back if a screen holds it (the end of a run).
void ReleaseTerminal();

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_TERMINALSCREEN_H_
