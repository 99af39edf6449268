#ifndef TAXLINK_HOST_CLACCCONNECT_H_
#define TAXLINK_HOST_CLACCCONNECT_H_

#include <cstdint>

#include "platform/text/WinTypes.h"

// The link to the running accounting system (a process-wide singleton).
class ClAccConnect {
 public:
  // What a host implements behind the link (the members below stay the
  // program's; the host reads them through Inst()).
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual void SetAppType(int appType) = 0;
    virtual void SetUseDataType(int useDataType) = 0;
    virtual int32_t Initiate() = 0;
    virtual int32_t ExpSysLink() = 0;
    virtual int32_t DispMsg(HWND owner, const char* text, const char* caption, uint32_t style) = 0;
    virtual int32_t LogOut() = 0;
    virtual int32_t Terminate() = 0;
    virtual void Release() = 0;
    virtual void BeginReadSpan() = 0;
    virtual void EndReadSpan() = 0;
  };

  static ClAccConnect* Inst();

  void SetAppType(int appType);
  void SetUseDataType(int useDataType);
  // 0: the link is open; non-zero: the program must end at once.
  int32_t Initiate();
  // 0: go on; 1: stop; anything else: failure.
  int32_t ExpSysLink();
  // Shows a message for the program through the host.
  int32_t DispMsg(HWND owner, const char* text, const char* caption, uint32_t style);
  int32_t LogOut();
  int32_t Terminate();
  void Release();
  // Around service calls that run without waiting on the user: the host may
  // read them all in one transaction of its store. The program shows no
  // message and waits for no input between the two; the host ends the span
  // itself before any message of its own.
  void BeginReadSpan();
  void EndReadSpan();

  int32_t reserved0 = 0;
  const char* caption = nullptr;  // caption of the host's messages for the program
  HWND ownerWindow = 0;           // owner of the host's messages for the program

 private:
  ClAccConnect() = default;
};

#endif  // TAXLINK_HOST_CLACCCONNECT_H_
