#include "terminal/TerminalScreen.h"

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include <curses.h>
#include <term.h>

#include "terminal/TerminalRestore.h"

namespace terminal {

struct TerminalScreen::ScreenHandle {
  SCREEN* screen = nullptr;
};

namespace {

// Esc alone waits this long for the rest of a key sequence (curses waits a
// second by default): long enough for a function key whose bytes a remote
// link delivers apart, short enough not to make Esc feel slow. ESCDELAY in
// the environment still decides when set.
constexpr int kEscapeDelayMs = 200;
constexpr wchar_t kCtrlR = 0x12;

TerminalScreen*& CurrentScreen() {
  static TerminalScreen* current = nullptr;
  return current;
}

void LeaveCurrent() {
  if (TerminalScreen* screen = CurrentScreen()) screen->Leave();
}

bool LocaleShowsJapanese() {
  char bytes[MB_LEN_MAX];
  std::mbstate_t state{};
  return std::wcrtomb(bytes, L'\u4E8B', &state) != static_cast<std::size_t>(-1);  // 事
}

// The locale's character type from the environment; a C or POSIX locale,
// which cannot show Japanese, becomes C.UTF-8.
bool ChooseLocale(std::string* why) {
  const char* chosen = std::setlocale(LC_CTYPE, "");
  std::string codeset = chosen != nullptr ? nl_langinfo(CODESET) : "";
  if (chosen == nullptr || codeset == "ANSI_X3.4-1968") {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
      *why = "the locale C.UTF-8 is not available";
      return false;
    }
    codeset = nl_langinfo(CODESET);
  }
  if (!LocaleShowsJapanese()) {
    *why = "the locale's character set " + codeset +
           " cannot show Japanese text (set LANG to a UTF-8 locale, e.g. C.UTF-8)";
    std::setlocale(LC_CTYPE, "C");
    return false;
  }
  return true;
}

// A terminfo string without its padding ("$<5>"), or empty.
std::string Capability(const char* name) {
  char* value = tigetstr(const_cast<char*>(name));
  if (value == nullptr || value == reinterpret_cast<char*>(-1)) return std::string();
  std::string text;
  for (const char* p = value; *p != '\0'; ++p) {
    if (p[0] == '$' && p[1] == '<') {
      const char* end = std::strchr(p, '>');
      if (end != nullptr) {
        p = end;
        continue;
      }
    }
    text.push_back(*p);
  }
  return text;
}

attr_t CursesAttributes(unsigned attributes) {
  attr_t result = A_NORMAL;
  if ((attributes & kBold) != 0) result |= A_BOLD;
  if ((attributes & kReverse) != 0) result |= A_REVERSE;
  if ((attributes & kUnderline) != 0) result |= A_UNDERLINE;
  if ((attributes & kDim) != 0) result |= A_DIM;
  return result;
}

// Frame characters as the terminal draws lines (its line set or Unicode).
const cchar_t* LineCharacter(wchar_t ch) {
  switch (ch) {
    case kLineHorizontal:
      return WACS_HLINE;
    case kLineVertical:
      return WACS_VLINE;
    case kCornerTopLeft:
      return WACS_ULCORNER;
    case kCornerTopRight:
      return WACS_URCORNER;
    case kCornerBottomLeft:
      return WACS_LLCORNER;
    case kCornerBottomRight:
      return WACS_LRCORNER;
    default:
      return nullptr;
  }
}

Key FromCharacter(wint_t ch) {
  Key key;
  switch (ch) {
    case L'\r':
    case L'\n':
      key.kind = Key::kEnter;
      break;
    case L'\t':
      key.kind = Key::kTab;
      break;
    case 0x08:
    case 0x7F:
      key.kind = Key::kBackspace;
      break;
    case 0x1B:
      key.kind = Key::kEscape;
      break;
    case kCtrlR:
      key.kind = Key::kF12;
      break;
    default:
      if (ch >= 0x20) {
        key.kind = Key::kChar;
        key.ch = static_cast<wchar_t>(ch);
      }
      break;
  }
  return key;
}

Key FromKeyCode(wint_t code) {
  Key key;
  switch (code) {
    case KEY_ENTER:
      key.kind = Key::kEnter;
      break;
    case KEY_BTAB:
      key.kind = Key::kBackTab;
      break;
    case KEY_LEFT:
      key.kind = Key::kLeft;
      break;
    case KEY_RIGHT:
      key.kind = Key::kRight;
      break;
    case KEY_UP:
      key.kind = Key::kUp;
      break;
    case KEY_DOWN:
      key.kind = Key::kDown;
      break;
    case KEY_HOME:
      key.kind = Key::kHome;
      break;
    case KEY_END:
      key.kind = Key::kEnd;
      break;
    case KEY_PPAGE:
      key.kind = Key::kPageUp;
      break;
    case KEY_NPAGE:
      key.kind = Key::kPageDown;
      break;
    case KEY_BACKSPACE:
      key.kind = Key::kBackspace;
      break;
    case KEY_DC:
      key.kind = Key::kDelete;
      break;
    case KEY_RESIZE:
      key.kind = Key::kResize;
      break;
    default:
      if (code == static_cast<wint_t>(KEY_F(1))) key.kind = Key::kF1;
      if (code == static_cast<wint_t>(KEY_F(12))) key.kind = Key::kF12;
      break;
  }
  return key;
}

}  // namespace

bool TerminalScreen::CanDrive(std::string* why) {
  if (isatty(STDIN_FILENO) != 1 || isatty(STDOUT_FILENO) != 1) {
    *why = "standard input and output are not both a terminal";
    return false;
  }
  if (!ChooseLocale(why)) return false;
  int error = 0;
  if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) {
    const char* term = std::getenv("TERM");
    *why = std::string("the terminal type \"") + (term != nullptr ? term : "") + "\" is not known";
    return false;
  }
  bool addressable = !Capability("cup").empty();
  del_curterm(cur_term);
  if (!addressable) {
    *why = "the terminal cannot move its cursor";
    return false;
  }
  return true;
}

TerminalScreen* TerminalScreen::Current() { return CurrentScreen(); }

TerminalScreen::TerminalScreen() : handle_(new ScreenHandle) {
  InstallRestoreHooks(LeaveCurrent);
  CurrentScreen() = this;
}

TerminalScreen::~TerminalScreen() {
  Leave();
  if (CurrentScreen() == this) CurrentScreen() = nullptr;
  delete handle_;
}

bool TerminalScreen::Enter() {
  if (active_) return true;
  if (hungUp_) return false;
  if (handle_->screen == nullptr) {
    if (tcgetattr(STDOUT_FILENO, &saved_) != 0) return false;
    handle_->screen = newterm(nullptr, stdout, stdin);
    if (handle_->screen == nullptr) return false;
    set_term(handle_->screen);
    if (std::getenv("ESCDELAY") == nullptr) set_escdelay(kEscapeDelayMs);
    cbreak();  // Ctrl+C still ends the program, through SIGINT
    noecho();
    nonl();
    intrflush(stdscr, FALSE);
    keypad(stdscr, TRUE);
    leaveSequence_ =
        Capability("rmkx") + Capability("sgr0") + Capability("cnorm") + Capability("rmcup");
  } else {
    reset_prog_mode();
  }
  ArmRestore(STDOUT_FILENO, saved_, leaveSequence_);
  CaptureStderrOnTerminal();
  active_ = true;
  ApplyWindowChange();
  clearok(curscr, TRUE);
  return true;
}

void TerminalScreen::Leave() {
  if (!active_) return;
  active_ = false;
  curs_set(1);
  endwin();
  DisarmRestore();
  ReleaseStderr();
}

void TerminalScreen::CaptureStderrOnTerminal() {
  struct stat out {};
  struct stat err {};
  if (isatty(STDERR_FILENO) != 1 || fstat(STDOUT_FILENO, &out) != 0 ||
      fstat(STDERR_FILENO, &err) != 0 || out.st_rdev != err.st_rdev) {
    return;
  }
  int capture = memfd_create("taxlink-stderr", MFD_CLOEXEC);
  if (capture < 0) return;
  int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (saved < 0) {
    close(capture);
    return;
  }
  std::fflush(stderr);
  CaptureStderr(saved, capture);
}

void TerminalScreen::DiscardTypeAhead() {
  if (active_) flushinp();
}

int TerminalScreen::Rows() const { return active_ ? LINES : 0; }

int TerminalScreen::Cols() const { return active_ ? COLS : 0; }

void TerminalScreen::Show(const CellGrid& grid) {
  if (!active_) return;
  int rows = grid.Rows() < LINES ? grid.Rows() : LINES;
  int cols = grid.Cols() < COLS ? grid.Cols() : COLS;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const CellGrid::Cell& cell = grid.At(r, c);
      if (cell.continuation) continue;
      attr_t attributes = CursesAttributes(cell.attributes);
      cchar_t shown;
      if (const cchar_t* line = LineCharacter(cell.ch)) {
        wchar_t text[CCHARW_MAX + 1] = {};
        attr_t lineAttributes = 0;
        short pair = 0;
        getcchar(line, text, &lineAttributes, &pair, nullptr);
        setcchar(&shown, text, lineAttributes | attributes, pair, nullptr);
      } else {
        wchar_t text[2] = {cell.ch, L'\0'};
        setcchar(&shown, text, attributes, 0, nullptr);
      }
      mvwadd_wch(stdscr, r, c, &shown);
    }
  }
  if (grid.CursorVisible()) {
    curs_set(1);
    wmove(stdscr, grid.CursorRow(), grid.CursorCol());
  } else {
    curs_set(0);
  }
  wnoutrefresh(stdscr);
  doupdate();
}

bool TerminalScreen::ApplyWindowChange() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0) {
    return false;
  }
  if (size.ws_row != LINES || size.ws_col != COLS) resizeterm(size.ws_row, size.ws_col);
  return true;
}

Key TerminalScreen::ReadKey(int timeoutMs) {
  Key key;
  if (!active_) return key;
  if (TakeWindowChange()) {
    ApplyWindowChange();
    key.kind = Key::kResize;
    return key;
  }
  wtimeout(stdscr, timeoutMs);
  wint_t ch = 0;
  int got = wget_wch(stdscr, &ch);
  if (got == ERR) {
    if (TakeWindowChange()) {
      ApplyWindowChange();
      key.kind = Key::kResize;
      return key;
    }
    // Without this, reads of a terminal that hung up (a dropped connection
    // whose SIGHUP is ignored) would return at once for ever.
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) == 1 && (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      hungUp_ = true;
      Leave();
    }
    return key;
  }
  if (got == KEY_CODE_YES) return FromKeyCode(ch);
  if (ch != 0x1B) return FromCharacter(ch);
  // Alt+key arrives as Esc and the key at once.
  wtimeout(stdscr, 0);
  wint_t next = 0;
  int more = wget_wch(stdscr, &next);
  if (more == ERR) return FromCharacter(ch);
  key = more == KEY_CODE_YES ? FromKeyCode(next) : FromCharacter(next);
  key.alt = true;
  return key;
}

void TerminalScreen::TakeResize() {
  if (active_ && TakeWindowChange()) ApplyWindowChange();
}

void TerminalScreen::Beep() {
  if (active_) beep();
}

void ReleaseTerminal() { LeaveCurrent(); }

}  // namespace terminal
