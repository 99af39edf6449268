#include "tests/hosts/FaultHost.h"

#include <cstdlib>

#include "host/ClSetBase.h"
#include "host/ClSetMgr.h"
#include "host/ClSysUser.h"
#include "tests/hosts/FaultObjects.h"
#include "tests/hosts/FaultTable.h"

namespace hosts {

namespace {

class Link : public ClAccConnect::Impl {
 public:
  Link(ClAccConnect::Impl& inner, FaultTable& faults) : inner_(inner), faults_(faults) {}
  void SetAppType(int appType) override { inner_.SetAppType(appType); }
  void SetUseDataType(int useDataType) override { inner_.SetUseDataType(useDataType); }
  int32_t Initiate() override {
    HOSTS_FAULT(faults_, kAccConnectInitiate);
    return inner_.Initiate();
  }
  int32_t ExpSysLink() override {
    HOSTS_FAULT(faults_, kAccConnectExpSysLink);
    return inner_.ExpSysLink();
  }
  int32_t DispMsg(HWND owner, const char* text, const char* caption, uint32_t style) override {
    HOSTS_FAULT(faults_, kAccConnectDispMsg);
    return inner_.DispMsg(owner, text, caption, style);
  }
  int32_t LogOut() override {
    HOSTS_FAULT(faults_, kAccConnectLogOut);
    return inner_.LogOut();
  }
  int32_t Terminate() override {
    HOSTS_FAULT(faults_, kAccConnectTerminate);
    return inner_.Terminate();
  }
  void Release() override { inner_.Release(); }
  void BeginReadSpan() override { inner_.BeginReadSpan(); }
  void EndReadSpan() override { inner_.EndReadSpan(); }

 private:
  ClAccConnect::Impl& inner_;
  FaultTable& faults_;
};

class Data : public ClDataMgr::Impl {
 public:
  explicit Data(FaultHost& host) : host_(host) {}
  ClSetMgr* GetSetMgr() override {
    if (host_.faults().Find(FaultPoint::kDataMgrGetSetMgr)) return nullptr;
    return host_.Wrap(host_.inner().DataMgr().GetSetMgr());
  }
  ClSetBase* GetSetObject(int kind, int flag) override {
    if (host_.faults().Find(FaultPoint::kDataMgrGetSetObject)) return nullptr;
    return host_.Wrap(host_.inner().DataMgr().GetSetObject(kind, flag));
  }
  ClSysUser* GetSysUserObject() override {
    if (host_.faults().Find(FaultPoint::kDataMgrGetSysUserObject)) return nullptr;
    return host_.Wrap(host_.inner().DataMgr().GetSysUserObject());
  }

 private:
  FaultHost& host_;
};

class Folders : public ClFileMgr::Impl {
 public:
  Folders(ClFileMgr::Impl& inner, FaultTable& faults) : inner_(inner), faults_(faults) {}
  const char* GetAppFolderPath(int folderType) override {
    if (faults_.Find(FaultPoint::kFileMgrGetAppFolderPath)) return "";
    return inner_.GetAppFolderPath(folderType);
  }

 private:
  ClFileMgr::Impl& inner_;
  FaultTable& faults_;
};

class LinkOptions : public ClLinkMgr::Impl {
 public:
  LinkOptions(ClLinkMgr::Impl& inner, FaultTable& faults) : inner_(inner), faults_(faults) {}
  ClOptLink* GetOptLink() override {
    if (faults_.Find(FaultPoint::kLinkMgrGetOptLink)) return nullptr;
    return inner_.GetOptLink();
  }

 private:
  ClLinkMgr::Impl& inner_;
  FaultTable& faults_;
};

class Messages : public ClMsgMgr::Impl {
 public:
  Messages(ClMsgMgr::Impl& inner, FaultTable& faults) : inner_(inner), faults_(faults) {}
  int32_t SetLastError(int32_t code, const char* sourceFile, int line) override {
    HOSTS_FAULT(faults_, kMsgMgrSetLastError);
    return inner_.SetLastError(code, sourceFile, line);
  }
  int32_t CheckFatalErrorWithMsg(int32_t code, int32_t arg2, int32_t arg3, HWND owner) override {
    HOSTS_FAULT(faults_, kMsgMgrCheckFatalErrorWithMsg);
    return inner_.CheckFatalErrorWithMsg(code, arg2, arg3, owner);
  }

 private:
  ClMsgMgr::Impl& inner_;
  FaultTable& faults_;
};

class Tips : public ClToolTipMgr::Impl {
 public:
  Tips(ClToolTipMgr::Impl& inner, FaultTable& faults) : inner_(inner), faults_(faults) {}
  int32_t Init(const ClToolTipMgr* manager, platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table,
               int32_t count) override {
    HOSTS_FAULT(faults_, kToolTipMgrInit);
    return inner_.Init(manager, dialog, table, count);
  }
  void Remove(const ClToolTipMgr* manager) override { inner_.Remove(manager); }

 private:
  ClToolTipMgr::Impl& inner_;
  FaultTable& faults_;
};

}  // namespace

struct FaultHost::Services {
  Services(FaultHost& host, host::Host& inner, FaultTable& faults)
      : link(inner.AccConnect(), faults),
        data(host),
        folders(inner.FileMgr(), faults),
        linkOptions(inner.LinkMgr(), faults),
        messages(inner.MsgMgr(), faults),
        toolTips(inner.ToolTips(), faults) {}
  Link link;
  Data data;
  Folders folders;
  LinkOptions linkOptions;
  Messages messages;
  Tips toolTips;
};

FaultHost::FaultHost(host::Host& inner, FaultTable& faults)
    : inner_(inner), faults_(faults), services_(std::make_unique<Services>(*this, inner, faults)) {}

FaultHost::~FaultHost() = default;

ClAccConnect::Impl& FaultHost::AccConnect() { return services_->link; }
ClDataMgr::Impl& FaultHost::DataMgr() { return services_->data; }
ClFileMgr::Impl& FaultHost::FileMgr() { return services_->folders; }
ClLinkMgr::Impl& FaultHost::LinkMgr() { return services_->linkOptions; }
ClMsgMgr::Impl& FaultHost::MsgMgr() { return services_->messages; }
ClToolTipMgr::Impl& FaultHost::ToolTips() { return services_->toolTips; }

ClAccPeriod::Impl* FaultHost::NewAccPeriod() {
  if (faults_.Find(FaultPoint::kNewAccPeriod)) return nullptr;
  return WrapPeriod(*this, inner_.NewAccPeriod());
}

ClSaveTaxShiryo::Impl* FaultHost::NewSaveTaxShiryo() {
  if (faults_.Find(FaultPoint::kNewSaveTaxShiryo)) return nullptr;
  return WrapSavedReturn(*this, inner_.NewSaveTaxShiryo());
}

ClRuleShiwake::Impl* FaultHost::NewRuleShiwake() {
  if (faults_.Find(FaultPoint::kNewRuleShiwake)) return nullptr;
  return WrapRule(*this, inner_.NewRuleShiwake());
}

ClRuleKamoku::Impl* FaultHost::NewRuleKamoku() {
  if (faults_.Find(FaultPoint::kNewRuleKamoku)) return nullptr;
  return WrapRule(*this, inner_.NewRuleKamoku());
}

ClRuleShohizei::Impl* FaultHost::NewRuleShohizei() {
  if (faults_.Find(FaultPoint::kNewRuleShohizei)) return nullptr;
  return WrapRule(*this, inner_.NewRuleShohizei());
}

ClRuleShohizeiShinkoku::Impl* FaultHost::NewRuleShohizeiShinkoku() {
  if (faults_.Find(FaultPoint::kNewRuleShohizeiShinkoku)) return nullptr;
  return WrapRule(*this, inner_.NewRuleShohizeiShinkoku());
}

ClRuleGenkashokyaku::Impl* FaultHost::NewRuleGenkashokyaku() {
  if (faults_.Find(FaultPoint::kNewRuleGenkashokyaku)) return nullptr;
  return WrapRule(*this, inner_.NewRuleGenkashokyaku());
}

ClSetBase* FaultHost::Wrap(ClSetBase* inner) {
  if (inner == nullptr) return nullptr;
  std::unique_ptr<ClSetBase>& wrapper = sets_[inner];
  if (!wrapper) wrapper.reset(NewSetWrapper(*this, inner));
  return wrapper ? wrapper.get() : inner;
}

ClSetMgr* FaultHost::Wrap(ClSetMgr* inner) {
  if (inner == nullptr) return nullptr;
  std::unique_ptr<ClSetMgr>& wrapper = setMgrs_[inner];
  if (!wrapper) wrapper.reset(NewSetMgrWrapper(*this, inner));
  return wrapper.get();
}

ClSysUser* FaultHost::Wrap(ClSysUser* inner) {
  if (inner == nullptr) return nullptr;
  std::unique_ptr<ClSysUser>& wrapper = users_[inner];
  if (!wrapper) wrapper.reset(NewUserWrapper(*this, inner));
  return wrapper.get();
}

FaultHost& FaultHostOver(host::Host& host) {
  static FaultHost faults(host, FaultTable::Instance());
  return faults;
}

void RegisterFaultHostOver(host::Host& host) {
  FaultHost& faults = FaultHostOver(host);
  // Said at start-up, before the first call, when faults are set. A setting
  // that is refused ends the process: a run without the faults it names
  // would pass for one that met them.
  FaultTable::Instance().Reload();
  if (FaultTable::Instance().refused()) std::exit(kFaultSettingRefused);
  host::Register(&faults);
}

}  // namespace hosts
