#include "mvhost/lib/ImportText.h"

#include "platform/text/Encoding.h"

namespace mvhost {

namespace {

bool SameName(std::string_view name, std::string_view known) {
  if (name.size() != known.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != known[i]) return false;
  }
  return true;
}

}  // namespace

bool ParseTextEncoding(std::string_view name, TextEncoding* encoding) {
  for (const char* known : {"utf-8", "utf8"}) {
    if (SameName(name, known)) {
      *encoding = TextEncoding::kUtf8;
      return true;
    }
  }
  for (const char* known : {"cp932", "shift_jis", "sjis", "windows-31j"}) {
    if (SameName(name, known)) {
      *encoding = TextEncoding::kCp932;
      return true;
    }
  }
  return false;
}

bool StartsWithUtf8Bom(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF"; }

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
    if (platform::TryCp932ToUtf8(text, utf8)) return true;
    *offset = platform::FindInvalidCp932(text);
    return false;
  }
  *offset = FindInvalidUtf8(text);
  if (*offset != std::string_view::npos) return false;
  utf8->assign(text);
  return true;
}

std::string DecodeProblem(TextEncoding encoding, const char* option) {
  if (encoding == TextEncoding::kCp932) {
    return std::string("not Shift_JIS text (for a UTF-8 file use ") + option + " utf-8)";
  }
  return std::string("not UTF-8 text (for a Shift_JIS file use ") + option + " cp932)";
}

bool FindUtf8Run(std::string_view text, size_t* offset, size_t* length) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) < 0x80) ++first;
  if (first == text.size() || FindInvalidUtf8(text) != std::string_view::npos) return false;
  // At most eight characters, which is enough to tell the two readings apart.
  size_t end = first;
  int characters = 0;
  while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) {
    if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && ++characters > 8) break;
    ++end;
  }
  *offset = first;
  *length = end - first;
  return true;
}

std::string AmbiguityProblem(std::string_view run, const char* option) {
  return "read as Shift_JIS, but the file is UTF-8 text: \"" + std::string(run) +
         "\" would be read as \"" + platform::Cp932ToUtf8(run) + "\" (use " + option +
         " utf-8 for a UTF-8 file, or " + option + " cp932 to read it as Shift_JIS all the same)";
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
