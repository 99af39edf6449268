#include "platform/text/DecimalText.h"

#include <algorithm>
#include <cstddef>

namespace platform {

int64_t DecimalValue(std::string_view text, int64_t minimum, int64_t maximum) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // The magnitude stops growing once it is past every 64-bit value.
  constexpr unsigned __int128 kCap = static_cast<unsigned __int128>(1) << 64;
  unsigned __int128 magnitude = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    magnitude = std::min(magnitude * 10 + static_cast<unsigned>(text[at] - '0'), kCap);
  }
  const __int128 value =
      negative ? -static_cast<__int128>(magnitude) : static_cast<__int128>(magnitude);
  return static_cast<int64_t>(std::clamp<__int128>(value, minimum, maximum));
}

}  // namespace platform
