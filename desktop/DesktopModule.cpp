// The entry points of taxlink-desktop.so (platform/dialog/FrontEndModule.h).

#include "desktop/DesktopUi.h"
#include "platform/dialog/FrontEndModule.h"

extern "C" {

platform::UserInterface* TaxLinkFrontEndMake() { return desktop::MakeDesktopUi().release(); }

// Qt's windows need nothing given back before the program ends.
void TaxLinkFrontEndRelease() {}

}  // extern "C"
