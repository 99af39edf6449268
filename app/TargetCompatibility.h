#ifndef TAXLINK_APP_TARGETCOMPATIBILITY_H_
#define TAXLINK_APP_TARGETCOMPATIBILITY_H_

#include <cstdint>

#include "platform/text/WinTypes.h"

namespace taxlink {

// The definition file of the filing application, in the current directory.
inline constexpr char kFilingDefinitionFile[] = "VelzoDef.ini";

// The status of the installed filing application: -1 missing or empty level,
// 0 compatible, 1 the filing application is too old, 2 this program is too old.
int32_t TargetCompatibilityStatus();

// Whether the installed filing application reads this program's report;
// when it does not, the reason is shown through the host (owner: the host's
// window) if showMessages is set.
bool CheckTargetCompatibility(HWND owner, bool showMessages);

}  // namespace taxlink

#endif  // TAXLINK_APP_TARGETCOMPATIBILITY_H_
