#ifndef TAXLINK_PLATFORM_UI_FRONTEND_H_
#define TAXLINK_PLATFORM_UI_FRONTEND_H_

#include <memory>
#include <string>

#include "platform/dialog/UserInterface.h"

namespace platform {

// The process's front end, chosen from the environment on first use:
// TAXLINK_UI=desktop|terminal|script|none when set; otherwise the script when
// TAXLINK_UI_SCRIPT is set, the desktop when DISPLAY or WAYLAND_DISPLAY is set
// and a desktop front end is registered, the terminal when standard input and
// output are terminals and a terminal front end is registered, else none.
// SetUi (platform/dialog/UserInterface.h) replaces it.
UserInterface& Ui();

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

#endif  // TAXLINK_PLATFORM_UI_FRONTEND_H_
