#ifndef TAXLINK_APP_FAILEDREAD_H_
#define TAXLINK_APP_FAILEDREAD_H_

#include "app/RunOutcome.h"
#include "platform/text/WinTypes.h"
#include "status/Status.h"

namespace taxlink {

// The end of a run after a host read failed: the host judges the code and
// shows its own message for a fatal one (owner owns it); otherwise (no host
// code, or one the host does not judge fatal) the program names the failure
// on standard error. Either way the run fails: figures or texts without what
// could not be read would pass for right ones.
RunOutcome FailedRead(const Status& status, HWND owner);

// Whether the host judges a status's code fatal; it then shows its message.
bool HostJudgesFatal(const Status& status, HWND owner);

}  // namespace taxlink

#endif  // TAXLINK_APP_FAILEDREAD_H_
