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

ConvertedText ConvertRecordText(const std::string& utf8) {
  ConvertedText text;
  text.converts = platform::TryUtf8ToCp932(utf8, &text.cp932);
  if (!text.converts) text.cp932.clear();
  return text;
}

bool CopyConvertedText(char* field, size_t size, const ConvertedText& text) {
  if (size == 0) return true;
  if (!text.converts) {
    std::memset(field, 0, size);
    return false;
  }
  const std::string& cp932 = text.cp932;
  size_t length = 0;
  while (length < cp932.size()) {
    size_t width = platform::IsLeadByte(static_cast<unsigned char>(cp932[length])) ? 2 : 1;
    if (length + width > size - 1 || length + width > cp932.size()) break;
    length += width;
  }
  std::memcpy(field, cp932.data(), length);
  std::memset(field + length, 0, size - length);
  return true;
}

bool CopyRecordText(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return true;
  return CopyConvertedText(field, size, ConvertRecordText(utf8));
}

int32_t StoreTextError(const std::string& record) {
  LastRecord() = record;
  AppendErrorLog("code=" + std::to_string(kErrBadStoreText) + " record=\"" + record +
                 "\" text cannot be written in Shift_JIS");
  return kErrBadStoreText;
}

std::string LastStoreTextRecord() { return LastRecord(); }

}  // namespace mvhost
