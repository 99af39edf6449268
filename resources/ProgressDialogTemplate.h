#ifndef TAXLINK_RESOURCES_PROGRESSDIALOGTEMPLATE_H_
#define TAXLINK_RESOURCES_PROGRESSDIALOGTEMPLATE_H_

#include "platform/dialog/DialogTemplate.h"

namespace taxlink {

// Dialog 131, the progress window shown while journal aggregation runs.
constexpr int kIddProgress = 131;
// The overall bar (whole run, 0..1000) and the detail bar (within a pass).
constexpr int kIdcOverallBar = 1019;
constexpr int kIdcDetailBar = 1024;

// The template of dialog 131: caption "集計中", 221 x 44 dialog units, no
// system menu, not visible when created.
const platform::DialogTemplate& ProgressDialogTemplate();

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_PROGRESSDIALOGTEMPLATE_H_
