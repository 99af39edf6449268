// The program's entry: builds the command line, runs the one application
// object and exits with its run result (0 written, 1 stopped, 2 failed), or
// 3 when the host refused the link and nothing was done.

#include <cstdio>
#include <exception>
#include <string>

#include "app/HostCommandLine.h"
#include "app/LinkApp.h"
#include "app/RunFailure.h"
#include "platform/UserInterface.h"
#ifdef TAXLINK_WITH_DESKTOP_UI
#include "desktop/DesktopUi.h"
#endif

int main(int argc, char** argv) {
#ifdef TAXLINK_WITH_DESKTOP_UI
  platform::SetDesktopUiFactory(&desktop::MakeDesktopUi);
#endif
  // A script that was asked for but cannot be read would cancel every
  // dialog: stop before anything is done instead.
  std::string problem = platform::UiScriptProblem();
  if (!problem.empty()) {
    std::fprintf(stderr, "taxlink: %s\n", problem.c_str());
    return taxlink::kExitCannotStart;
  }
  taxlink::LinkApp& app = taxlink::TheApp();
  app.commandLine = taxlink::CommandLineFromArgs(argc, argv);
  try {
    app.InitInstance();
  } catch (...) {
    // Whatever leaves the run ends it as failed, shown to the user; the host
    // is still told so that its window does not stay disabled.
    taxlink::FailRunAfterException(app, std::current_exception());
  }
  app.ExitInstance();
  return app.ExitStatus();
}
