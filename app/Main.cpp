// The program's entry: builds the command line, runs the one application
// object and exits with its run result (0 written, 1 stopped, 2 failed).

#include <cstdio>

#include "aggregation/Decimal4.h"
#include "app/HostCommandLine.h"
#include "app/LinkApp.h"
#include "platform/UserInterface.h"
#ifdef TAXLINK_WITH_TERMINAL_UI
#include "terminal/TerminalScreen.h"
#include "terminal/TerminalUi.h"
#endif

namespace {

// The run's windows are gone: a front end that holds the terminal gives it
// back before anything more is printed and before the host is told.
void ReleaseScreen() {
#ifdef TAXLINK_WITH_TERMINAL_UI
  terminal::ReleaseTerminal();
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef TAXLINK_WITH_TERMINAL_UI
  platform::SetTerminalUiFactory(&terminal::MakeTerminalUi);
#endif
  taxlink::LinkApp& app = taxlink::TheApp();
  app.commandLine = taxlink::CommandLineFromArgs(argc, argv);
  try {
    app.InitInstance();
  } catch (const taxlink::Decimal4Overflow&) {
    ReleaseScreen();
    // An amount beyond the fixed-point range ends the run as failed; the host
    // is still told so that it does not wait for a result.
    std::fputs("TaxLink: an amount exceeded the supported range; the run failed.\n", stderr);
    app.runResult = taxlink::kRunFailed;
  }
  ReleaseScreen();
  app.ExitInstance();
  return app.runResult;
}
