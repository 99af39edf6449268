#include "report/FullWidthName.h"

#include "platform/text/FullWidth.h"
#include "platform/text/Mbcs.h"

namespace taxlink {

std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  if (maxBytes == 0) return std::string();
  std::string whole(text);  // zero-terminated for the lead byte walk
  std::size_t cut = maxBytes;
  if (platform::IsLeadAt(whole.c_str(), maxBytes - 1)) cut = maxBytes - 1;
  whole.resize(cut);
  return whole;
}

std::string ToFullWidthName(std::string_view text) {
  return CutAtCharBoundary(platform::MapToFullWidth(text), kFullWidthNameBytes);
}

}  // namespace taxlink
