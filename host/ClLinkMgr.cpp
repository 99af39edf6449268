#include "host/ClLinkMgr.h"

#include "host/Host.h"

ClLinkMgr* ClLinkMgr::Inst() {
  static ClLinkMgr manager;
  return &manager;
}

ClOptLink* ClLinkMgr::GetOptLink() { return host::Registered().LinkMgr().GetOptLink(); }
