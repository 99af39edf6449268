#include "mvhost/lib/RecordText.h"

#include <cstring>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "platform/text/Encoding.h"
#include "platform/text/Mbcs.h"

namespace mvhost {

namespace {

std::string& LastRecord() {
  static std::string record;
  return record;
}

}  // namespace

bool CopyRecordText(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return true;
  std::string text;
  if (!platform::TryUtf8ToCp932(utf8, &text)) {
    std::memset(field, 0, size);
    return false;
  }
  size_t length = 0;
  while (length < text.size()) {
    size_t width = platform::IsLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + width > size - 1 || length + width > text.size()) break;
    length += width;
  }
  std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, size - length);
  return true;
}

int32_t StoreTextError(const std::string& record) {
  LastRecord() = record;
  AppendErrorLog("code=" + std::to_string(kErrBadStoreText) + " record=\"" + record +
                 "\" text cannot be written in Shift_JIS");
  return kErrBadStoreText;
}

std::string LastStoreTextRecord() { return LastRecord(); }

}  // namespace mvhost
