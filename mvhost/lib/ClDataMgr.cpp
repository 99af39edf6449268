#include "host/ClDataMgr.h"

#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/SetMgr.h"
#include "mvhost/lib/SysUser.h"

namespace mvhost {

namespace {

// The shared set objects, their manager and the user object of the process.
class Data : public ClDataMgr::Impl {
 public:
  ClSetMgr* GetSetMgr() override { return &setMgr_; }
  ClSetBase* GetSetObject(int kind, int /*flag*/) override { return SetMgr::SharedSetObject(kind); }
  ClSysUser* GetSysUserObject() override { return &user_; }

 private:
  SetMgr setMgr_;
  SysUser user_;
};

}  // namespace

ClDataMgr::Impl& DataService() {
  static Data data;
  return data;
}

}  // namespace mvhost
