#ifndef TAXLINK_HOST_CLMSGMGR_H_
#define TAXLINK_HOST_CLMSGMGR_H_

#include <cstdint>

#include "platform/text/WinTypes.h"

// The host's message manager: error log and fatal-error display.
class ClMsgMgr {
 public:
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual int32_t SetLastError(int32_t code, const char* sourceFile, int line) = 0;
    virtual int32_t CheckFatalErrorWithMsg(int32_t code, int32_t arg2, int32_t arg3,
                                           HWND owner) = 0;
  };

  static ClMsgMgr* Inst();

  // Records a code (with the caller's source file and line when non-zero) and
  // returns 0 for code 0, non-zero otherwise.
  int32_t SetLastError(int32_t code, const char* sourceFile, int line);
  // Non-zero when the host judges the code fatal (it has then shown its own
  // message); 0 lets the caller go on.
  int32_t CheckFatalErrorWithMsg(int32_t code, int32_t arg2, int32_t arg3, HWND owner);

 private:
  ClMsgMgr() = default;
};

#endif  // TAXLINK_HOST_CLMSGMGR_H_
