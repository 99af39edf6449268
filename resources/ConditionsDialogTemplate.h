#ifndef TAXLINK_RESOURCES_CONDITIONSDIALOGTEMPLATE_H_
#define TAXLINK_RESOURCES_CONDITIONSDIALOGTEMPLATE_H_

#include "platform/dialog/DialogTemplate.h"
#include "resources/ids/ConditionsDialogIds.h"

namespace taxlink {

// The conditions dialog's template: every control with id, kind, rectangle,
// text and styles, in resource order (which is the tab order).
const platform::DialogTemplate& ConditionsDialogTemplate();

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_CONDITIONSDIALOGTEMPLATE_H_
