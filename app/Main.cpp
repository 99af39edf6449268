// The program's entry: builds the command line, registers the front ends
// built beside it (modules loaded only when chosen), runs the one application object and exits with
// its run result (0 written, 1 stopped, 2 failed), or 3 when the host refused the link and nothing
// was done.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/FrontEndModule.h"
#include "app/HostLaunch.h"
#include "app/HostRegistration.h"
#include "app/LinkApp.h"
#include "app/RunFailure.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"

namespace {

#ifdef TAXLINK_WITH_DESKTOP_UI
taxlink::FrontEndModule& DesktopModule() {
  static taxlink::FrontEndModule module("desktop", "taxlink-desktop.so");
  return module;
}
#endif

#ifdef TAXLINK_WITH_TERMINAL_UI
taxlink::FrontEndModule& TerminalModule() {
  static taxlink::FrontEndModule module("terminal", "taxlink-terminal.so");
  return module;
}
#endif

// The run's windows are gone: a front end that holds the terminal gives it
// back before anything more is printed and before the host is told.
void ReleaseScreen() {
#ifdef TAXLINK_WITH_TERMINAL_UI
  TerminalModule().Release();
#endif
}

// The front end lost its screen for good (the display server ended): the
// run fails, says why and still tells the host, instead of ending with
// nothing posted.
[[noreturn]] void EndAfterFrontEndLost(const char* why) {
  taxlink::LinkApp& app = taxlink::TheApp();
  std::fprintf(stderr, "taxlink: %s; the run failed.\n", why);
  app.runResult = 2;
  ReleaseScreen();
  app.ExitInstance();
  std::fflush(nullptr);
  std::_Exit(app.ExitStatus());
}

}  // namespace

int main(int argc, char** argv) {
  // A run is short and makes its larger buffers (the host's records of all
  // accounts, assets and rates, grown as they are read) a few times over:
  // from the heap, whose freed pages are used again, instead of mapped and
  // unmapped each time, their pages are touched once (80 page faults, about
  // 8 % of a short run's processor time). A buffer of 4 MiB or more is still
  // mapped of its own.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
  taxlink::RegisterHost();
#ifdef TAXLINK_WITH_DESKTOP_UI
  platform::SetDesktopUiFactory([] { return DesktopModule().Make(); });
#endif
#ifdef TAXLINK_WITH_TERMINAL_UI
  platform::SetTerminalUiFactory([] { return TerminalModule().Make(); });
#endif
  platform::SetFrontEndLostHandler(&EndAfterFrontEndLost);
  // A script that was asked for but cannot be read would cancel every
  // dialog: stop before anything is done instead.
  std::string problem = platform::UiScriptProblem();
  if (!problem.empty()) {
    std::fprintf(stderr, "taxlink: %s\n", problem.c_str());
    return taxlink::kExitCannotStart;
  }
  taxlink::LinkApp& app = taxlink::TheApp();
  app.commandLine = taxlink::CommandLineFromArgs(argc, argv);
  const char* failure = nullptr;
  try {
    app.InitInstance();
  } catch (...) {
    // Whatever leaves the run ends it as failed, shown to the user; the host
    // is still told so that its window does not stay disabled.
    failure = taxlink::FailRunAfterException(app, std::current_exception());
  }
  ReleaseScreen();
  if (failure != nullptr) std::fprintf(stderr, "TaxLink: %s; the run failed.\n", failure);
  app.ExitInstance();
  return app.ExitStatus();
}
