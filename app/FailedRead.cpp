#include "app/FailedRead.h"

#include "host/ClMsgMgr.h"

namespace taxlink {

bool HostJudgesFatal(const Status& status, HWND owner) {
  return ClMsgMgr::Inst()->CheckFatalErrorWithMsg(status.hostCode(), -1, 1, owner) != 0;
}

RunOutcome FailedRead(const Status& status, HWND owner) {
  if (status.hostCode() != 0 && HostJudgesFatal(status, owner)) return RunOutcome::Failed();
  return RunOutcome::Failed(status.ToString());
}

}  // namespace taxlink
