#include "app/LinkApp.h"

#include <cstdio>

#include "app/RunDriver.h"
#include "host/ClAccConnect.h"
#include "platform/hostwindow/HostWindow.h"

namespace taxlink {

LinkApp& TheApp() {
  // Built by static initialisation before the run and kept until process exit.
  static LinkApp app;
  return app;
}

BOOL LinkApp::InitInstance() {
  RunDriver driver(commandLine, &launch);
  const RunOutcome outcome = driver.Run();
  Finish(outcome);
  return outcome.written() ? TRUE_ : FALSE_;
}

void LinkApp::Finish(const RunOutcome& outcome) {
  runResult = outcome.runResult();
  linkRefused = outcome.kind() == RunOutcome::Kind::kLinkRefused;
  if (!outcome.message().empty()) {
    std::fprintf(stderr, "taxlink: %s: result %d\n", outcome.message().c_str(),
                 static_cast<int>(runResult));
  }
}

int LinkApp::ExitInstance() {
  ClAccConnect::Inst()->LogOut();
  ClAccConnect::Inst()->Terminate();
  ClAccConnect::Inst()->Release();
  if (launch.fromHost) {
    platform::SetForegroundWindow(launch.window);
    platform::EnableWindow(launch.window, true);
    platform::PostMessage(launch.window, static_cast<uint32_t>(launch.notifyMessage),
                          static_cast<int32_t>(launch.functionId), runResult);
    // Enabled a second time after the notice: the host's exit contract asks
    // for both calls, and the host may rely on the second. Keep it.
    platform::EnableWindow(launch.window, true);
  }
  return 0;
}

}  // namespace taxlink
