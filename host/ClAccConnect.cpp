#include "host/ClAccConnect.h"

#include "host/Host.h"

namespace {

ClAccConnect::Impl& Link() { return host::Registered().AccConnect(); }

}  // namespace

ClAccConnect* ClAccConnect::Inst() {
  static ClAccConnect link;
  return &link;
}

void ClAccConnect::SetAppType(int appType) { Link().SetAppType(appType); }
void ClAccConnect::SetUseDataType(int useDataType) { Link().SetUseDataType(useDataType); }
int32_t ClAccConnect::Initiate() { return Link().Initiate(); }
int32_t ClAccConnect::ExpSysLink() { return Link().ExpSysLink(); }

int32_t ClAccConnect::DispMsg(HWND owner, const char* text, const char* messageCaption,
                              uint32_t style) {
  return Link().DispMsg(owner, text, messageCaption, style);
}

void ClAccConnect::BeginReadSpan() { Link().BeginReadSpan(); }
void ClAccConnect::EndReadSpan() { Link().EndReadSpan(); }

int32_t ClAccConnect::LogOut() { return Link().LogOut(); }
int32_t ClAccConnect::Terminate() { return Link().Terminate(); }

void ClAccConnect::Release() {
  Link().Release();
  caption = nullptr;
  ownerWindow = 0;
}
