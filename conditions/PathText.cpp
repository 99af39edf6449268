#include "conditions/PathText.h"

#include <cstring>

#include "platform/text/Mbcs.h"
#include "platform/winfs/WinFileSystem.h"

namespace taxlink {

namespace {

// Byte length of the character that starts at text[i]: 2 for a lead byte
// followed by a trail byte, else 1.
std::size_t CharLength(const char* text, std::size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  unsigned char trail = static_cast<unsigned char>(text[i + 1]);
  if (platform::IsLeadByte(lead) && trail != 0 && platform::IsTrailByte(trail)) return 2;
  return 1;
}

// Offset of the last single-byte character c, or npos.
std::size_t LastCharOf(const char* path, char c) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; path[i] != '\0'; i += CharLength(path, i)) {
    if (path[i] == c) found = i;
  }
  return found;
}

// True when two separators follow each other at or after offset from.
bool HasDoubledSeparator(const char* text, std::size_t from) {
  for (std::size_t i = 0; text[i] != '\0'; i += CharLength(text, i)) {
    if (i >= from && text[i] == '\\' && text[i + 1] == '\\') return true;
  }
  return false;
}

}  // namespace

bool IsInDoubleByteChar(const char* text, std::size_t position) {
  if (text == nullptr) return false;
  for (std::size_t i = 0; text[i] != '\0';) {
    std::size_t length = CharLength(text, i);
    if (length == 2 && (position == i || position == i + 1)) return true;
    if (i > position) break;
    i += length;
  }
  return false;
}

bool EnsureTrailingSeparator(char* buffer, std::size_t capacity) {
  if (buffer == nullptr || buffer[0] == '\0') return false;
  std::size_t length = std::strlen(buffer);
  // A trail byte 0x5C is part of the last character, not a separator.
  if (!IsInDoubleByteChar(buffer, length - 1) && buffer[length - 1] == '\\') return true;
  if (capacity == 0 || length >= capacity - 1) return false;
  buffer[length] = '\\';
  buffer[length + 1] = '\0';
  return true;
}

bool ReduceToDirectory(char* path) {
  if (path == nullptr) return false;
  std::size_t length = std::strlen(path);
  if (length > kPathBufferSize - 1) return false;
  char drive[3] = {};
  char dir[256] = {};
  platform::SplitPath(path, drive, dir, nullptr, nullptr);
  char result[kPathBufferSize] = {};
  std::size_t driveLength = std::strlen(drive);
  std::size_t dirLength = std::strlen(dir);
  // The split holds at most 255 bytes of folder; a longer folder (a path of
  // 260 bytes can have 257) is taken whole from the path instead of cut.
  if (dirLength > 0) {
    std::size_t folderEnd = driveLength;
    for (std::size_t i = driveLength; path[i] != '\0'; i += CharLength(path, i)) {
      if (path[i] == '\\' || path[i] == '/') folderEnd = i + 1;
    }
    dirLength = folderEnd - driveLength;
  }
  if (driveLength + dirLength == 0 || driveLength + dirLength > length) return false;
  std::memcpy(result, drive, driveLength);
  std::memcpy(result + driveLength, path + driveLength, dirLength);
  // The separator goes on only within the path's own length.
  EnsureTrailingSeparator(result, length + 1);
  std::memcpy(path, result, std::strlen(result) + 1);
  return true;
}

bool DirectoryExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  if (std::strlen(path) > kPathBufferSize - 1) return false;
  char copy[kPathBufferSize] = {};
  std::strcpy(copy, path);
  ReduceToDirectory(copy);
  return platform::PathIsDirectory(copy);
}

std::string FolderPart(const char* path) {
  std::size_t last = LastCharOf(path, '\\');
  if (last == std::string::npos) return std::string();
  return std::string(path, last + 1);
}

std::string FileNamePart(const char* path) {
  std::size_t last = LastCharOf(path, '\\');
  if (last == std::string::npos) return std::string(path);
  return std::string(path + last + 1);
}

std::string FolderPartAtColon(const char* path) {
  std::size_t last = LastCharOf(path, ':');
  if (last == std::string::npos) return std::string();
  return std::string(path, last + 1);
}

std::string FileNamePartAtColon(const char* path) {
  std::size_t last = LastCharOf(path, ':');
  if (last == std::string::npos) return std::string(path);
  return std::string(path + last + 1);
}

bool IsValidPathText(const char* path) {
  if (path == nullptr) return false;
  // The output path must fit the 261-byte buffers it is copied into.
  if (std::strlen(path) > kPathBufferSize - 1) return false;
  const char* rest = path;
  if (path[0] == '\\' && path[1] == '\\') {
    if (HasDoubledSeparator(path, 3)) return false;
    rest = path + 2;
  } else {
    if (HasDoubledSeparator(path, 0)) return false;
    // The first colon ends the drive part.
    std::size_t colon = std::string::npos;
    for (std::size_t i = 0; path[i] != '\0'; i += CharLength(path, i)) {
      if (path[i] == ':') {
        colon = i;
        break;
      }
    }
    if (colon != std::string::npos) rest = path + colon + 1;
  }
  static const char kRefused[] = "/:,;*?\"><|";
  for (std::size_t i = 0; rest[i] != '\0'; i += CharLength(rest, i)) {
    if (CharLength(rest, i) != 1) continue;
    if (std::strchr(kRefused, rest[i]) != nullptr) return false;
    // Windows refuses control characters in names; a line feed would also
    // end the record of the path in the remembered-path file.
    if (static_cast<unsigned char>(rest[i]) < 0x20) return false;
  }
  return true;
}

}  // namespace taxlink
