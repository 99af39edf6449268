#ifndef TAXLINK_APP_LINKAPP_H_
#define TAXLINK_APP_LINKAPP_H_

#include <cstdint>
#include <string>

#include "app/HostLaunch.h"
#include "app/RunOutcome.h"
#include "platform/text/WinTypes.h"

namespace taxlink {

// The process exit status when the host refused the link and nothing was
// done (runResult stays 0 and nothing is posted; the status tells it from
// a written report).
constexpr int kExitLinkRefused = 3;
// The process exit status when the run cannot start (the environment names
// a user-interface script that cannot be read).
constexpr int kExitCannotStart = 2;

// The one application object: the process command line, what the host said
// on it, and the result reported back. The run itself (RunDriver) owns its
// working records and figures.
class LinkApp {
 public:
  LinkApp() = default;
  LinkApp(const LinkApp&) = delete;
  LinkApp& operator=(const LinkApp&) = delete;

  // The run: TRUE when the report file was written, FALSE on every other exit.
  BOOL InitInstance();
  // Closes the host link and, when the host launched the run, notifies it.
  int ExitInstance();

  // Records how the run ended: the one place that sets runResult.
  void Finish(const RunOutcome& outcome);

  // The process command line (the arguments, Shift_JIS), set before the run.
  std::string commandLine;
  // The host's launch values, read by the run once the link is open.
  HostLaunch launch;

  int32_t runResult = kRunWritten;
  // ClAccConnect::Initiate refused the link: the run returned at once.
  bool linkRefused = false;
  // The process exit status: runResult, or kExitLinkRefused.
  int ExitStatus() const { return linkRefused ? kExitLinkRefused : runResult; }
};

// The process's one application object.
LinkApp& TheApp();

}  // namespace taxlink

#endif  // TAXLINK_APP_LINKAPP_H_
