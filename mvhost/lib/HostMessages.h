#ifndef TAXLINK_MVHOST_HOSTMESSAGES_H_
#define TAXLINK_MVHOST_HOSTMESSAGES_H_

#include <cstdint>
#include <string>

namespace mvhost {

// The host's own message (Shift_JIS) for a fatal code, ending in the code.
std::string HostErrorText(int32_t code);

// The caption of the host's own messages: the link's caption member when the
// program has set it, else "会計システム".
std::string HostCaption();

// The filing application's name that replaces "ES_APRPACKAGENAME" in the
// program's messages (Shift_JIS): host_state 'filing_app_name', else
// "Velzo消費税申告".
std::string FilingApplicationName();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_HOSTMESSAGES_H_
