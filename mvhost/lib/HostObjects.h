#ifndef TAXLINK_MVHOST_HOSTOBJECTS_H_
#define TAXLINK_MVHOST_HOSTOBJECTS_H_

#include "host/Host.h"

namespace mvhost {

// The embedded host's implementations of the host classes, each defined in
// the file of its class (SqliteHost gathers them).
ClAccConnect::Impl& LinkService();
ClDataMgr::Impl& DataService();
ClFileMgr::Impl& FolderService();
ClLinkMgr::Impl& LinkOptionService();
ClMsgMgr::Impl& MessageService();
ClToolTipMgr::Impl& ToolTipService();

// New objects (null when no memory is left).
ClAccPeriod::Impl* NewAccPeriod();
ClSaveTaxShiryo::Impl* NewSaveTaxShiryo();
ClRuleShiwake::Impl* NewRuleShiwake();
ClRuleKamoku::Impl* NewRuleKamoku();
ClRuleShohizei::Impl* NewRuleShohizei();
ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku();
ClRuleGenkashokyaku::Impl* NewRuleGenkashokyaku();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_HOSTOBJECTS_H_
