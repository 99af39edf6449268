#ifndef TAXLINK_PLATFORM_DIALOG_FRONTENDMODULE_H_
#define TAXLINK_PLATFORM_DIALOG_FRONTENDMODULE_H_

#include "platform/dialog/UserInterface.h"

// The entry points of a front end built as a module that the programs load
// when it is chosen (desktop/, terminal/; docs/platform.md). The module
// calls the platform of the program that loaded it.
extern "C" {

// The front end, owned by the caller, or null (with the reason on standard
// error) when it cannot start here: what a UiFactory returns.
platform::UserInterface* TaxLinkFrontEndMake();

// Gives back what the front end holds (the terminal) before the program
// prints its last lines and tells the host.
void TaxLinkFrontEndRelease();

}  // extern "C"

#endif  // TAXLINK_PLATFORM_DIALOG_FRONTENDMODULE_H_
