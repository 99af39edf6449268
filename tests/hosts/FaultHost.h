#ifndef TAXLINK_TESTS_HOSTS_FAULTHOST_H_
#define TAXLINK_TESTS_HOSTS_FAULTHOST_H_

#include <map>
#include <memory>

#include "host/Host.h"

class ClSetBase;
class ClSetMgr;
class ClSysUser;

namespace hosts {

class FaultTable;

// A host that makes the calls its fault table names fail and passes every
// other call to the host it wraps (FaultTable.h has the syntax). The set
// objects, set manager and user object it hands out wrap the inner host's.
class FaultHost : public host::Host {
 public:
  FaultHost(host::Host& inner, FaultTable& faults);
  ~FaultHost() override;

  ClAccConnect::Impl& AccConnect() override;
  ClDataMgr::Impl& DataMgr() override;
  ClFileMgr::Impl& FileMgr() override;
  ClLinkMgr::Impl& LinkMgr() override;
  ClMsgMgr::Impl& MsgMgr() override;
  ClToolTipMgr::Impl& ToolTips() override;
  ClAccPeriod::Impl* NewAccPeriod() override;
  ClSaveTaxShiryo::Impl* NewSaveTaxShiryo() override;
  ClRuleShiwake::Impl* NewRuleShiwake() override;
  ClRuleKamoku::Impl* NewRuleKamoku() override;
  ClRuleShohizei::Impl* NewRuleShohizei() override;
  ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() override;
  ClRuleGenkashokyaku::Impl* NewRuleGenkashokyaku() override;

  // The wrapper of one of the inner host's shared objects (null for null).
  ClSetBase* Wrap(ClSetBase* inner);
  ClSetMgr* Wrap(ClSetMgr* inner);
  ClSysUser* Wrap(ClSysUser* inner);

  host::Host& inner() { return inner_; }
  FaultTable& faults() { return faults_; }

 private:
  struct Services;

  host::Host& inner_;
  FaultTable& faults_;
  std::unique_ptr<Services> services_;
  std::map<const void*, std::unique_ptr<ClSetBase>> sets_;
  std::map<const void*, std::unique_ptr<ClSetMgr>> setMgrs_;
  std::map<const void*, std::unique_ptr<ClSysUser>> users_;
};

// The exit status of a process whose fault setting is refused at start-up.
constexpr int kFaultSettingRefused = 2;

// The process's fault-injecting host over host (made once) and its
// registration; a fault setting that is refused at registration ends the
// process with kFaultSettingRefused after its message.
FaultHost& FaultHostOver(host::Host& host);
void RegisterFaultHostOver(host::Host& host);

}  // namespace hosts

#endif  // TAXLINK_TESTS_HOSTS_FAULTHOST_H_
