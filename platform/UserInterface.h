#ifndef TAXLINK_PLATFORM_USERINTERFACE_H_
#define TAXLINK_PLATFORM_USERINTERFACE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/WinTypes.h"

namespace platform {

class Dialog;

// The save-as file dialog (GetSaveFileName).
struct SaveFileRequest {
  HWND owner = 0;
  std::string defaultExtension;  // "XML"
  std::string fileName;          // initial file name
  std::string initialFolder;
  std::string filter;            // "Xml Files (*.xml)|*.xml||"
  std::string title;
  uint32_t flags = 0;
  // nMaxFile: the bytes the caller's buffer holds for the chosen path,
  // terminator included; a longer path is refused in the dialog.
  std::size_t maxFile = 260;
  std::string chosenPath;        // out: the full path when confirmed
};

// The user interface services of the program. One front end serves a
// process: scripted (TAXLINK_UI_SCRIPT), terminal (a terminal is attached)
// or none (cancels). Every text is Shift_JIS.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // MessageBox: returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                         uint32_t style) = 0;
  // Creates the dialog's window and lets the user work in it until it ends;
  // returns its result.
  virtual int RunModal(Dialog& dialog) = 0;
  // A modeless dialog was created, shown, hidden, repainted or destroyed.
  virtual void ModelessChanged(Dialog& dialog) = 0;
  virtual void ModelessDestroyed(Dialog& dialog) = 0;
  // The save-as dialog: true and request.chosenPath when the user confirms.
  virtual bool GetSaveFileName(SaveFileRequest& request) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

// The process's front end, chosen from the environment on first use:
// TAXLINK_UI=desktop|terminal|script|none when set; otherwise the script when
// TAXLINK_UI_SCRIPT is set, the desktop when DISPLAY or WAYLAND_DISPLAY is set
// and a desktop front end is registered, the terminal when standard input and
// output are terminals and a terminal front end is registered, else none.
UserInterface& Ui();
// Replaces the front end (tests); returns the previous one.
std::unique_ptr<UserInterface> SetUi(std::unique_ptr<UserInterface> ui);

// A front end that loses its screen for good (the display server ended)
// calls FrontEndLost with the reason in English, from wherever it notices.
// The program registers what ends the run then (it says why and still tells
// the host); without a handler nothing happens and the front end goes on.
using FrontEndLostHandler = void (*)(const char* why);
void SetFrontEndLostHandler(FrontEndLostHandler handler);
void FrontEndLost(const char* why);

// The interactive front ends register their factories here. A factory that
// cannot start (no display, a terminal it cannot drive) returns null, and the
// selection goes on with the next candidate.
using UiFactory = std::unique_ptr<UserInterface> (*)();
void SetTerminalUiFactory(UiFactory factory);
void SetDesktopUiFactory(UiFactory factory);
// The front end that Ui() would choose from the environment now.
std::unique_ptr<UserInterface> MakeUiFromEnvironment();
// The file TAXLINK_UI_TRANSCRIPT names, for the front ends' transcripts: a
// relative name is taken from the folder the program was started in. Empty
// when the variable is not set.
std::string UiTranscriptPathFromEnvironment();
// Why the front end the environment chooses cannot start: the scripted front
// end is chosen and its script file cannot be read. Empty when it can.
std::string UiScriptProblem();

}  // namespace platform

#endif  // TAXLINK_PLATFORM_USERINTERFACE_H_
