// The program's entry: builds the command line, runs the one application
// object and exits with its run result (0 written, 1 stopped, 2 failed).

#include <cstdio>

#include "aggregation/Decimal4.h"
#include "app/HostCommandLine.h"
#include "app/LinkApp.h"
#include "platform/UserInterface.h"
#ifdef TAXLINK_WITH_DESKTOP_UI
#include "desktop/DesktopUi.h"
#endif

int main(int argc, char** argv) {
#ifdef TAXLINK_WITH_DESKTOP_UI
  platform::SetDesktopUiFactory(&desktop::MakeDesktopUi);
#endif
  taxlink::LinkApp& app = taxlink::TheApp();
  app.commandLine = taxlink::CommandLineFromArgs(argc, argv);
  try {
    app.InitInstance();
  } catch (const taxlink::Decimal4Overflow&) {
    // An amount beyond the fixed-point range ends the run as failed; the host
    // is still told so that it does not wait for a result.
    std::fputs("TaxLink: an amount exceeded the supported range; the run failed.\n", stderr);
    app.runResult = taxlink::kRunFailed;
  }
  app.ExitInstance();
  return app.runResult;
}
