#ifndef TAXLINK_HOST_CLTOOLTIPMGR_H_
#define TAXLINK_HOST_CLTOOLTIPMGR_H_

#include <cstdint>

// One tooltip: the control it belongs to, its text and a flag of the host's.
struct TOOLTIPMSG_TABLE {
  int32_t controlId;
  const char* text;
  int32_t flag;
};

namespace platform {
class Dialog;
}

// The host's tooltip manager; attaches tooltips to a dialog's controls.
class ClToolTipMgr {
 public:
  // What a host implements behind every tooltip manager; a manager is known
  // by its address.
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual int32_t Init(const ClToolTipMgr* manager, platform::Dialog* dialog,
                         const TOOLTIPMSG_TABLE* table, int32_t count) = 0;
    virtual void Remove(const ClToolTipMgr* manager) = 0;
  };

  ClToolTipMgr() = default;
  ClToolTipMgr(const ClToolTipMgr&) = delete;
  ClToolTipMgr& operator=(const ClToolTipMgr&) = delete;
  // Removes the tooltips this manager attached.
  ~ClToolTipMgr();

  int32_t Init(platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table, int32_t count);
};

#endif  // TAXLINK_HOST_CLTOOLTIPMGR_H_
