// The entry points of taxlink-terminal.so (platform/dialog/FrontEndModule.h).

#include "platform/dialog/FrontEndModule.h"
#include "terminal/TerminalScreen.h"
#include "terminal/TerminalUi.h"

extern "C" {

platform::UserInterface* TaxLinkFrontEndMake() { return terminal::MakeTerminalUi().release(); }

void TaxLinkFrontEndRelease() { terminal::ReleaseTerminal(); }

}  // extern "C"
