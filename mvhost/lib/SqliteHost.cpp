#include "mvhost/lib/SqliteHost.h"

#include "mvhost/lib/HostObjects.h"

namespace mvhost {

namespace {

class Sqlite : public host::Host {
 public:
  ClAccConnect::Impl& AccConnect() override { return LinkService(); }
  ClDataMgr::Impl& DataMgr() override { return DataService(); }
  ClFileMgr::Impl& FileMgr() override { return FolderService(); }
  ClLinkMgr::Impl& LinkMgr() override { return LinkOptionService(); }
  ClMsgMgr::Impl& MsgMgr() override { return MessageService(); }
  ClToolTipMgr::Impl& ToolTips() override { return ToolTipService(); }
  ClAccPeriod::Impl* NewAccPeriod() override { return mvhost::NewAccPeriod(); }
  ClSaveTaxShiryo::Impl* NewSaveTaxShiryo() override { return mvhost::NewSaveTaxShiryo(); }
  ClRuleShiwake::Impl* NewRuleShiwake() override { return mvhost::NewRuleShiwake(); }
  ClRuleKamoku::Impl* NewRuleKamoku() override { return mvhost::NewRuleKamoku(); }
  ClRuleShohizei::Impl* NewRuleShohizei() override { return mvhost::NewRuleShohizei(); }
  ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() override {
    return mvhost::NewRuleShohizeiShinkoku();
  }
  ClRuleGenkashokyaku::Impl* NewRuleGenkashokyaku() override {
    return mvhost::NewRuleGenkashokyaku();
  }
};

}  // namespace

host::Host& SqliteHost() {
  static Sqlite host;
  return host;
}

void RegisterSqliteHost() { host::Register(&SqliteHost()); }

}  // namespace mvhost
