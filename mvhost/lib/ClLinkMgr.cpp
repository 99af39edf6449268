#include "host/ClLinkMgr.h"

#include "mvhost/lib/ClOptLink.h"
#include "mvhost/lib/FaultInjection.h"

ClLinkMgr* ClLinkMgr::Inst() {
  static ClLinkMgr manager;
  return &manager;
}

ClOptLink* ClLinkMgr::GetOptLink() {
  static ClOptLink options;
  if (mvhost::FaultInjection::Find("ClLinkMgr::GetOptLink")) return nullptr;
  return &options;
}
