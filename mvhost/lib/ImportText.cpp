#include "mvhost/lib/ImportText.h"

#include "platform/Encoding.h"

namespace mvhost {

bool ParseTextEncoding(std::string_view name, TextEncoding* encoding) {
  if (name == "utf-8") {
    *encoding = TextEncoding::kUtf8;
    return true;
  }
  if (name == "cp932") {
    *encoding = TextEncoding::kCp932;
    return true;
  }
  return false;
}

size_t FindInvalidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t i = 0;
  while (i < size) {
    unsigned char c = bytes[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;   // no overlong forms
      if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
      return i;
    }
    if (i + length > size || bytes[i + 1] < low || bytes[i + 1] > high) return i;
    for (size_t k = 2; k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return i;
    }
    i += length;
  }
  return std::string_view::npos;
}

bool DecodeText(std::string_view text, TextEncoding encoding, std::string* utf8, size_t* offset) {
  if (encoding == TextEncoding::kCp932) {
    *offset = std::string_view::npos;
    return platform::TryCp932ToUtf8(text, utf8);
  }
  *offset = FindInvalidUtf8(text);
  if (*offset != std::string_view::npos) return false;
  utf8->assign(text);
  return true;
}

std::string DecodeProblem(TextEncoding encoding, const std::string& where) {
  if (encoding == TextEncoding::kCp932) return "not Shift_JIS text" + where;
  return "not UTF-8 text" + where + " (for a Shift_JIS file use --encoding cp932)";
}

std::string LineColumnOf(std::string_view text, size_t offset) {
  if (offset > text.size()) offset = text.size();
  size_t line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return std::to_string(line) + ":" + std::to_string(offset - lineStart + 1);
}

}  // namespace mvhost
