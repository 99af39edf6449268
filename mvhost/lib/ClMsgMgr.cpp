#include "host/ClMsgMgr.h"

#include <string>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostMessages.h"
#include "platform/Encoding.h"
#include "platform/UserInterface.h"

ClMsgMgr* ClMsgMgr::Inst() {
  static ClMsgMgr manager;
  return &manager;
}

int32_t ClMsgMgr::SetLastError(int32_t code, const char* sourceFile, int line) {
  MVHOST_FAULT_POINT("ClMsgMgr::SetLastError");
  if (code == 0) return 0;
  mvhost::AppendErrorLog("code=" + std::to_string(code) + " file=" +
                         (sourceFile != nullptr ? platform::Cp932ToUtf8(sourceFile) : "") +
                         " line=" + std::to_string(line));
  return code;
}

int32_t ClMsgMgr::CheckFatalErrorWithMsg(int32_t code, int32_t /*arg2*/, int32_t /*arg3*/,
                                         HWND owner) {
  MVHOST_FAULT_POINT("ClMsgMgr::CheckFatalErrorWithMsg");
  // Failures are negative; positive codes (end of data, notices) are not.
  if (code >= 0) return 0;
  platform::Ui().MessageBox(owner, mvhost::HostErrorText(code), mvhost::HostCaption(),
                            MB_OK | MB_ICONERROR);
  return code;
}
