#ifndef TAXLINK_HOST_CLDATAMGR_H_
#define TAXLINK_HOST_CLDATAMGR_H_

class ClSetBase;
class ClSetMgr;
class ClSysUser;

// The host's data manager (a process-wide singleton).
class ClDataMgr {
 public:
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual ClSetMgr* GetSetMgr() = 0;
    virtual ClSetBase* GetSetObject(int kind, int flag) = 0;
    virtual ClSysUser* GetSysUserObject() = 0;
  };

  static ClDataMgr* Inst();

  ClSetMgr* GetSetMgr();
  // The shared set object of a kind (ClSetBase.h), or null.
  ClSetBase* GetSetObject(int kind, int flag);
  ClSysUser* GetSysUserObject();

 private:
  ClDataMgr() = default;
};

#endif  // TAXLINK_HOST_CLDATAMGR_H_
