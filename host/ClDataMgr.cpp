#include "host/ClDataMgr.h"

#include "host/Host.h"

ClDataMgr* ClDataMgr::Inst() {
  static ClDataMgr manager;
  return &manager;
}

ClSetMgr* ClDataMgr::GetSetMgr() { return host::Registered().DataMgr().GetSetMgr(); }

ClSetBase* ClDataMgr::GetSetObject(int kind, int flag) {
  return host::Registered().DataMgr().GetSetObject(kind, flag);
}

ClSysUser* ClDataMgr::GetSysUserObject() { return host::Registered().DataMgr().GetSysUserObject(); }
