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
  // Removes the tooltips this manager attached.
  ~ClToolTipMgr();

  int32_t Init(platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table, int32_t count);
};

#endif  // TAXLINK_HOST_CLTOOLTIPMGR_H_
