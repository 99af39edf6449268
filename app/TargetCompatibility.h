#ifndef TAXLINK_APP_TARGETCOMPATIBILITY_H_
#define TAXLINK_APP_TARGETCOMPATIBILITY_H_

#include <cstdint>

namespace taxlink {

class LinkApp;

// The definition file of the filing application, in the current directory.
inline constexpr char kFilingDefinitionFile[] = "VelzoDef.ini";

// The status of the installed filing application: -1 missing or empty level,
// 0 compatible, 1 the filing application is too old, 2 this program is too old.
int32_t TargetCompatibilityStatus();

// 1 when the installed filing application reads this program's report;
// otherwise 0, after showing the reason through the host when showMessages
// is non-zero.
int CheckTargetCompatibility(LinkApp& app, int32_t showMessages);

}  // namespace taxlink

#endif  // TAXLINK_APP_TARGETCOMPATIBILITY_H_
