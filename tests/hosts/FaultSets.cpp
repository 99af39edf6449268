#include "host/ClAccPeriod.h"
#include "host/ClSetBumon.h"
#include "host/ClSetData.h"
#include "host/ClSetKamoku.h"
#include "host/ClSetMgr.h"
#include "host/ClSetShohizei.h"
#include "host/ClSysUser.h"
#include "tests/hosts/FaultHost.h"
#include "tests/hosts/FaultObjects.h"
#include "tests/hosts/FaultTable.h"

namespace hosts {

namespace {

// The preparation calls of a set object, with the points of its class.
template <class Interface, FaultPoint kAttach, FaultPoint kSetData>
class SetWrapper : public Interface {
 public:
  SetWrapper(FaultHost& host, Interface* inner)
      : host_(host), faults_(host.faults()), inner_(inner) {}
  int32_t AttachSetMgr(ClSetMgr* setMgr) override {
    if (auto code = faults_.Find(kAttach)) return *code;
    return inner_->AttachSetMgr(setMgr);
  }
  int32_t SetCurDataID(const char* dataId) override {
    if (auto code = faults_.Find(kSetData)) return *code;
    return inner_->SetCurDataID(dataId);
  }

 protected:
  FaultHost& host_;
  FaultTable& faults_;
  Interface* inner_;
};

class DataSets : public SetWrapper<ClSetData, FaultPoint::kSetDataAttachSetMgr,
                                   FaultPoint::kSetDataSetCurDataID> {
 public:
  using SetWrapper::SetWrapper;
  int32_t GetDatCursor(int32_t* cursor) override {
    HOSTS_FAULT(faults_, kSetDataGetDatCursor);
    return inner_->GetDatCursor(cursor);
  }
  int32_t ReadyDat(int32_t cursor, int32_t mode) override {
    HOSTS_FAULT(faults_, kSetDataReadyDat);
    return inner_->ReadyDat(cursor, mode);
  }
  int32_t WalkDat(StDATAINFO* out, int32_t cursor) override {
    HOSTS_FAULT(faults_, kSetDataWalkDat);
    return inner_->WalkDat(out, cursor);
  }
  void ReleaseDatCursor(int32_t cursor) override { inner_->ReleaseDatCursor(cursor); }
  int32_t GetSelectedInfo(StDATAINFO* out) override {
    HOSTS_FAULT(faults_, kSetDataGetSelectedInfo);
    return inner_->GetSelectedInfo(out);
  }
  int32_t GetAccPeriod(ClAccPeriod** period) override {
    HOSTS_FAULT(faults_, kSetDataGetAccPeriod);
    return inner_->GetAccPeriod(period);
  }
};

class Accounts : public SetWrapper<ClSetKamoku, FaultPoint::kSetKamokuAttachSetMgr,
                                   FaultPoint::kSetKamokuSetCurDataID> {
 public:
  using SetWrapper::SetWrapper;
  int32_t GetCursor(int32_t* cursor) override {
    HOSTS_FAULT(faults_, kSetKamokuGetCursor);
    return inner_->GetCursor(cursor);
  }
  int32_t ReadyCursor(int32_t cursor) override {
    HOSTS_FAULT(faults_, kSetKamokuReadyCursor);
    return inner_->ReadyCursor(cursor);
  }
  int32_t WalkFind(const StFINDINFO* filter, StKAMOKUINFO* out, int32_t cursor) override {
    HOSTS_FAULT(faults_, kSetKamokuWalkFind);
    return inner_->WalkFind(filter, out, cursor);
  }
  void ReleaseCursor(int32_t cursor) override { inner_->ReleaseCursor(cursor); }
};

class Departments : public SetWrapper<ClSetBumon, FaultPoint::kSetBumonAttachSetMgr,
                                      FaultPoint::kSetBumonSetCurDataID> {
 public:
  using SetWrapper::SetWrapper;
  int32_t GetBmnCount(int32_t flag) override {
    HOSTS_FAULT(faults_, kSetBumonGetBmnCount);
    return inner_->GetBmnCount(flag);
  }
  int32_t GetCursor(int32_t* cursor) override {
    HOSTS_FAULT(faults_, kSetBumonGetCursor);
    return inner_->GetCursor(cursor);
  }
  int32_t ReadyCursor(int32_t cursor) override {
    HOSTS_FAULT(faults_, kSetBumonReadyCursor);
    return inner_->ReadyCursor(cursor);
  }
  int32_t Walk(StBUMONINFO* out, int32_t cursor) override {
    HOSTS_FAULT(faults_, kSetBumonWalk);
    return inner_->Walk(out, cursor);
  }
  int32_t GetInfoByCode(int32_t cursor, int32_t code, StBUMONINFO* out) override {
    HOSTS_FAULT(faults_, kSetBumonGetInfoByCode);
    return inner_->GetInfoByCode(cursor, code, out);
  }
  void ReleaseCursor(int32_t cursor) override { inner_->ReleaseCursor(cursor); }
};

class TaxSettings : public SetWrapper<ClSetShohizei, FaultPoint::kSetShohizeiAttachSetMgr,
                                      FaultPoint::kSetShohizeiSetCurDataID> {
 public:
  using SetWrapper::SetWrapper;
  int32_t Get(StSHOHIZEIINFO* out) override {
    HOSTS_FAULT(faults_, kSetShohizeiGet);
    return inner_->Get(out);
  }
  int32_t GetTaxRateCount() override {
    HOSTS_FAULT(faults_, kSetShohizeiGetTaxRateCount);
    return inner_->GetTaxRateCount();
  }
};

class SetManager : public ClSetMgr {
 public:
  SetManager(FaultHost& host, ClSetMgr* inner) : host_(host), inner_(inner) {}
  ClSetBase* GetSetObject(int kind, int flag) override {
    if (host_.faults().Find(FaultPoint::kSetMgrGetSetObject)) return nullptr;
    return host_.Wrap(inner_->GetSetObject(kind, flag));
  }

 private:
  FaultHost& host_;
  ClSetMgr* inner_;
};

class User : public ClSysUser {
 public:
  User(FaultHost& host, ClSysUser* inner) : faults_(host.faults()), inner_(inner) {}
  int32_t GetCurUserID(char* userId) override {
    HOSTS_FAULT(faults_, kSysUserGetCurUserID);
    return inner_->GetCurUserID(userId);
  }
  int32_t GetSelectedNo(const char* userId, int32_t* first, int32_t* second) override {
    HOSTS_FAULT(faults_, kSysUserGetSelectedNo);
    return inner_->GetSelectedNo(userId, first, second);
  }

 private:
  FaultTable& faults_;
  ClSysUser* inner_;
};

}  // namespace

ClSetBase* NewSetWrapper(FaultHost& host, ClSetBase* inner) {
  if (auto* set = dynamic_cast<ClSetData*>(inner)) return new DataSets(host, set);
  if (auto* set = dynamic_cast<ClSetKamoku*>(inner)) return new Accounts(host, set);
  if (auto* set = dynamic_cast<ClSetBumon*>(inner)) return new Departments(host, set);
  if (auto* set = dynamic_cast<ClSetShohizei*>(inner)) return new TaxSettings(host, set);
  return nullptr;
}

ClSetMgr* NewSetMgrWrapper(FaultHost& host, ClSetMgr* inner) { return new SetManager(host, inner); }

ClSysUser* NewUserWrapper(FaultHost& host, ClSysUser* inner) { return new User(host, inner); }

}  // namespace hosts
