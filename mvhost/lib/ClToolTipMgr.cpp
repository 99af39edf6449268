#include "host/ClToolTipMgr.h"

#include <map>
#include <utility>
#include <vector>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
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

namespace mvhost {

namespace {

// Keeps the tips of each manager for the front ends (ToolTipRegistry.h).
class ToolTips : public ClToolTipMgr::Impl {
 public:
  int32_t Init(const ClToolTipMgr* manager, platform::Dialog* dialog, const TOOLTIPMSG_TABLE* table,
               int32_t count) override {
    if (dialog == nullptr || count < 0 || (count > 0 && table == nullptr)) {
      return kErrBadArgument;
    }
    Attached attached;
    attached.dialog = dialog;
    for (int32_t i = 0; i < count; ++i) {
      attached.tips.push_back(
          {table[i].controlId, table[i].text != nullptr ? table[i].text : "", table[i].flag});
    }
    Registry()[manager] = std::move(attached);
    return 0;
  }
  void Remove(const ClToolTipMgr* manager) override { Registry().erase(manager); }
};

}  // namespace

ClToolTipMgr::Impl& ToolTipService() {
  static ToolTips tips;
  return tips;
}

}  // namespace mvhost
