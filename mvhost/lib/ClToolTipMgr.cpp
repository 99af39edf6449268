#include "host/ClToolTipMgr.h"

#include <map>
#include <utility>
#include <vector>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/ToolTipRegistry.h"

namespace {

struct Attached {
  const platform::Dialog* dialog = nullptr;
  std::vector<mvhost::ToolTip> tips;
};

// Keyed by the manager that attached the tips, so that its destruction (the
// dialog's, whose member it is) removes them.
std::map<const ClToolTipMgr*, Attached>& Registry() {
  static std::map<const ClToolTipMgr*, Attached> registry;
  return registry;
}

}  // namespace

namespace mvhost {

std::vector<ToolTip> ToolTipsOf(const platform::Dialog* dialog) {
  std::vector<ToolTip> tips;
  for (const auto& [manager, attached] : Registry()) {
    if (attached.dialog == dialog) {
      tips.insert(tips.end(), attached.tips.begin(), attached.tips.end());
    }
  }
  return tips;
}

}  // namespace mvhost

ClToolTipMgr::~ClToolTipMgr() { Registry().erase(this); }

int32_t ClToolTipMgr::Init(platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table,
                           int32_t count) {
  MVHOST_FAULT_POINT("ClToolTipMgr::Init");
  if (dialog == nullptr || count < 0 || (count > 0 && table == nullptr)) {
    return mvhost::kErrBadArgument;
  }
  Attached attached;
  attached.dialog = dialog;
  for (int32_t i = 0; i < count; ++i) {
    attached.tips.push_back(
        {table[i].controlId, table[i].text != nullptr ? table[i].text : "", table[i].flag});
  }
  Registry()[this] = std::move(attached);
  return 0;
}
