#include "platform/winfs/ProfileFile.h"

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/Mbcs.h"
#include "platform/winfs/WinFileSystem.h"

namespace platform {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// Compares Shift_JIS names, folding the case of single-byte letters only.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::optional<std::string> ReadWholeFile(const char* fileName) {
  if (fileName == nullptr || *fileName == '\0') return std::nullopt;
  std::optional<std::string> posix = ToPosixPath(fileName);
  if (!posix) return std::nullopt;
  std::ifstream in(*posix, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The name of a "[section]" line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// Copies text into buffer as the Windows call does: at most size - 1 bytes
// and a terminator, never half of a double-byte character. With lists, the
// text holds zero-separated names and ends with a second terminator.
std::size_t CopyResult(const std::string& text, char* buffer, std::size_t size, bool list) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t length = text.size();
  std::size_t room = list ? (size >= 2 ? size - 2 : 0) : size - 1;
  if (length > room) {
    length = room;
    if (length > 0 && IsLeadAt(text.c_str(), length - 1)) --length;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  if (list && size >= 2) buffer[length + 1] = '\0';
  return length;
}

}  // namespace

std::size_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    char* buffer, std::size_t size, const char* fileName) {
  // Trailing blanks of the default are dropped, leading ones kept.
  std::string fallback(defaultValue != nullptr ? defaultValue : "");
  while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t')) {
    fallback.pop_back();
  }
  std::optional<std::string> content = ReadWholeFile(fileName);
  if (!content)
    return CopyResult(section == nullptr || key == nullptr ? "" : fallback, buffer, size,
                      section == nullptr || key == nullptr);
  std::vector<std::string_view> lines = Lines(*content);

  if (section == nullptr) {
    // All section names.
    std::string names;
    for (std::string_view line : lines) {
      if (std::optional<std::string_view> name = SectionName(line)) {
        names.append(*name);
        names.push_back('\0');
      }
    }
    if (!names.empty()) names.pop_back();
    return CopyResult(names, buffer, size, true);
  }

  bool inSection = false;
  std::string keys;
  for (std::string_view line : lines) {
    if (std::optional<std::string_view> name = SectionName(line)) {
      if (inSection) break;  // the first section of that name is the one read
      inSection = SameName(*name, TrimBlanks(section));
      continue;
    }
    if (!inSection) continue;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view name = TrimBlanks(line.substr(0, equals));
    if (name.empty()) continue;
    if (key == nullptr) {
      keys.append(name);
      keys.push_back('\0');
      continue;
    }
    if (!SameName(name, TrimBlanks(key))) continue;
    std::string_view value = line.substr(equals + 1);
    // A value is a C string: it ends at a NUL byte, so that its length is
    // what the caller's buffer then holds.
    value = TrimBlanks(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return CopyResult(std::string(value), buffer, size, false);
  }
  if (key == nullptr) {
    if (!keys.empty()) keys.pop_back();
    return CopyResult(keys, buffer, size, true);
  }
  return CopyResult(fallback, buffer, size, false);
}

}  // namespace platform
