#include "mvhost/lib/RecordText.h"

#include <cstring>

#include "platform/Encoding.h"
#include "platform/Mbcs.h"

namespace mvhost {

void CopyRecordText(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return;
  std::string text = platform::Utf8ToCp932(utf8);
  size_t length = 0;
  while (length < text.size()) {
    size_t width = platform::IsLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + width > size - 1 || length + width > text.size()) break;
    length += width;
  }
  std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, size - length);
}

}  // namespace mvhost
