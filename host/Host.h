#ifndef TAXLINK_HOST_HOST_H_
#define TAXLINK_HOST_HOST_H_

#include <new>

#include "host/ClAccConnect.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClFileMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/ClToolTipMgr.h"
#include "host/HostObject.h"

namespace host {

// An accounting host as the program's classes reach it: the services behind
// the singletons and the makers of the objects the program creates. The
// process registers one host at start-up, before the first host call; the
// Cl* classes forward to it.
class Host {
 public:
  virtual ~Host() = default;

  virtual ClAccConnect::Impl& AccConnect() = 0;
  virtual ClDataMgr::Impl& DataMgr() = 0;
  virtual ClFileMgr::Impl& FileMgr() = 0;
  virtual ClLinkMgr::Impl& LinkMgr() = 0;
  virtual ClMsgMgr::Impl& MsgMgr() = 0;
  virtual ClToolTipMgr::Impl& ToolTips() = 0;

  // A new implementation for an object the program creates, or null when
  // the host cannot create one (the program's creation then fails).
  virtual ClAccPeriod::Impl* NewAccPeriod() = 0;
  virtual ClSaveTaxShiryo::Impl* NewSaveTaxShiryo() = 0;
  virtual ClRuleShiwake::Impl* NewRuleShiwake() = 0;
  virtual ClRuleKamoku::Impl* NewRuleKamoku() = 0;
  virtual ClRuleShohizei::Impl* NewRuleShohizei() = 0;
  virtual ClRuleShohizeiShinkoku::Impl* NewRuleShohizeiShinkoku() = 0;
  virtual ClRuleGenkashokyaku::Impl* NewRuleGenkashokyaku() = 0;
};

// Makes host the process's host (it must outlive every host call); null
// takes the registration back. Returns the host registered before.
Host* Register(Host* host);
// The registered host. A host call without one is a fault of the program's
// set-up: it is said on standard error and the process aborts.
Host& Registered();

// The implementation waiting for the object being constructed, else a new
// one from the registered host; std::bad_alloc when it cannot create one.
template <class Impl>
Impl* TakeOrMake(Impl* (Host::*maker)()) {
  if (HostObject* waiting = CreationSlot::Take()) return static_cast<Impl*>(waiting);
  Impl* made = (Registered().*maker)();
  if (made == nullptr) throw std::bad_alloc();
  return made;
}

}  // namespace host

#endif  // TAXLINK_HOST_HOST_H_
