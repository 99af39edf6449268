#include "host/ClDataMgr.h"

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/SetMgr.h"
#include "mvhost/lib/SysUser.h"

ClDataMgr* ClDataMgr::Inst() {
  static ClDataMgr manager;
  return &manager;
}

ClSetMgr* ClDataMgr::GetSetMgr() {
  static mvhost::SetMgr setMgr;
  if (mvhost::FaultInjection::Find("ClDataMgr::GetSetMgr")) return nullptr;
  return &setMgr;
}

ClSetBase* ClDataMgr::GetSetObject(int kind, int /*flag*/) {
  if (mvhost::FaultInjection::Find("ClDataMgr::GetSetObject")) return nullptr;
  return mvhost::SetMgr::SharedSetObject(kind);
}

ClSysUser* ClDataMgr::GetSysUserObject() {
  static mvhost::SysUser user;
  if (mvhost::FaultInjection::Find("ClDataMgr::GetSysUserObject")) return nullptr;
  return &user;
}
