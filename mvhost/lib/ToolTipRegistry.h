#ifndef TAXLINK_MVHOST_TOOLTIPREGISTRY_H_
#define TAXLINK_MVHOST_TOOLTIPREGISTRY_H_

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class Dialog;
}

namespace mvhost {

// A tooltip attached by ClToolTipMgr::Init, as front ends show it.
struct ToolTip {
  int32_t controlId = 0;
  std::string text;  // Shift_JIS
  int32_t flag = 0;
};

// The tooltips attached to a dialog (empty when none).
std::vector<ToolTip> ToolTipsOf(const platform::Dialog* dialog);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_TOOLTIPREGISTRY_H_
