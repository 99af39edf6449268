#ifndef TAXLINK_PLATFORM_DIALOG_USERINTERFACE_H_
#define TAXLINK_PLATFORM_DIALOG_USERINTERFACE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/text/WinTypes.h"

namespace platform {

class Dialog;

// The save-as file dialog (GetSaveFileName).
struct SaveFileRequest {
  HWND owner = 0;
  std::string defaultExtension;  // "XML"
  std::string fileName;          // initial file name
  std::string initialFolder;
  std::string filter;  // "Xml Files (*.xml)|*.xml||"
  std::string title;
  uint32_t flags = 0;
  // nMaxFile: the bytes the caller's buffer holds for the chosen path,
  // terminator included; a longer path is refused in the dialog.
  std::size_t maxFile = 260;
  std::string chosenPath;  // out: the full path when confirmed
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

// The process's front end: the one SetUi set, else none yet (null). Ui()
// (platform/ui/FrontEnd.h) chooses one from the environment on first use.
UserInterface* CurrentUi();
// Replaces the front end (tests, and Ui() when it chooses); returns the
// previous one.
std::unique_ptr<UserInterface> SetUi(std::unique_ptr<UserInterface> ui);

// Called before the process's front end waits on the user (a message box, a
// modal dialog, the save-as dialog; UserWaitGuard): what must not stay held
// while the user reads or types, such as the host's read transaction, is let
// go there. One hook; null for none.
using UserWaitHook = void (*)();
void SetUserWaitHook(UserWaitHook hook);
void BeforeUserWait();

// A front end that loses its screen for good (the display server ended)
// calls FrontEndLost with the reason in English, from wherever it notices.
// The program registers what ends the run then (it says why and still tells
// the host); without a handler nothing happens and the front end goes on.
using FrontEndLostHandler = void (*)(const char* why);
void SetFrontEndLostHandler(FrontEndLostHandler handler);
void FrontEndLost(const char* why);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_USERINTERFACE_H_
