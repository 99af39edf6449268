#include "host/ClMsgMgr.h"

#include "host/Host.h"

ClMsgMgr* ClMsgMgr::Inst() {
  static ClMsgMgr manager;
  return &manager;
}

int32_t ClMsgMgr::SetLastError(int32_t code, const char* sourceFile, int line) {
  return host::Registered().MsgMgr().SetLastError(code, sourceFile, line);
}

int32_t ClMsgMgr::CheckFatalErrorWithMsg(int32_t code, int32_t arg2, int32_t arg3, HWND owner) {
  return host::Registered().MsgMgr().CheckFatalErrorWithMsg(code, arg2, arg3, owner);
}
