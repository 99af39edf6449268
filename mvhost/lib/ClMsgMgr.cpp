#include "host/ClMsgMgr.h"

#include <string>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/ReadScope.h"
#include "platform/dialog/UserInterface.h"
#include "platform/text/Encoding.h"
#include "platform/ui/FrontEnd.h"

namespace mvhost {

namespace {

// Failures (negative codes) go to the host's error log; fatal ones are shown
// in the host's message box.
class Messages : public ClMsgMgr::Impl {
 public:
  int32_t SetLastError(int32_t code, const char* sourceFile, int line) override;
  int32_t CheckFatalErrorWithMsg(int32_t code, int32_t arg2, int32_t arg3, HWND owner) override;
};

int32_t Messages::SetLastError(int32_t code, const char* sourceFile, int line) {
  // The log holds failures; a notice (nothing saved) is returned as given.
  if (code >= 0) return code;
  mvhost::AppendErrorLog("code=" + std::to_string(code) + " file=" +
                         (sourceFile != nullptr ? platform::Cp932ToUtf8(sourceFile) : "") +
                         " line=" + std::to_string(line));
  return code;
}

int32_t Messages::CheckFatalErrorWithMsg(int32_t code, int32_t /*arg2*/, int32_t /*arg3*/,
                                         HWND owner) {
  // Failures are negative; positive codes (end of data, notices) are not.
  if (code >= 0) return 0;
  // The message waits on the user: no read transaction stays open under it.
  mvhost::ReadScope::EndOpenSpan();
  platform::Ui().MessageBox(owner, mvhost::HostErrorText(code), mvhost::HostCaption(),
                            MB_OK | MB_ICONERROR);
  return code;
}

}  // namespace

ClMsgMgr::Impl& MessageService() {
  static Messages messages;
  return messages;
}

}  // namespace mvhost
