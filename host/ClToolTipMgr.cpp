#include "host/ClToolTipMgr.h"

#include "host/Host.h"

ClToolTipMgr::~ClToolTipMgr() { host::Registered().ToolTips().Remove(this); }

int32_t ClToolTipMgr::Init(platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table, int32_t count) {
  return host::Registered().ToolTips().Init(this, dialog, table, count);
}
