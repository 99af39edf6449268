// The path functions of WinFileSystem that work on text alone.

#include <cstring>

#include "platform/text/Mbcs.h"
#include "platform/winfs/WinFileSystem.h"

namespace platform {
namespace {

// The next character of zero-terminated Shift_JIS text: a lead byte with a
// trail byte is one character.
const char* CharNext(const char* p) {
  if (*p == '\0') return p;
  if (IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' &&
      IsTrailByte(static_cast<unsigned char>(p[1]))) {
    return p + 2;
  }
  return p + 1;
}

// The first backslash at or after p that is a real separator.
const char* FindBackslash(const char* p) {
  for (; *p != '\0'; p = CharNext(p)) {
    if (*p == '\\') return p;
  }
  return nullptr;
}

// "\", "X:\", "\\server" and "\\server\share" (with at most one further
// backslash after the server name) are roots.
bool IsRoot(const char* path) {
  if (path == nullptr || *path == '\0') return false;
  if (path[0] == '\\') {
    if (path[1] == '\0') return true;
    if (path[1] != '\\') return false;
    bool seenSeparator = false;
    for (const char* p = path + 2; *p != '\0'; p = CharNext(p)) {
      if (*p == '\\') {
        if (seenSeparator) return false;
        seenSeparator = true;
      }
    }
    return true;
  }
  return path[1] == ':' && path[2] == '\\' && path[3] == '\0';
}

// Removes the last component; false when nothing could be removed.
bool RemoveFileSpec(char* path) {
  char* p = path;
  char* cut = path;
  if (*p == '\\') cut = ++p;
  if (*p == '\\') cut = ++p;
  while (*p != '\0') {
    if (*p == '\\') {
      cut = p;
    } else if (*p == ':') {
      cut = ++p;
      if (*p == '\\') ++cut;
      if (*p == '\0') break;
    }
    p = const_cast<char*>(CharNext(p));
  }
  if (*cut == '\0') return false;
  *cut = '\0';
  return true;
}

void CopyPart(char* target, std::size_t capacity, const char* from, std::size_t length) {
  if (target == nullptr) return;
  if (length >= capacity) length = capacity - 1;
  // Never leave half of a double-byte character at the cut; parts start at
  // a character boundary of the zero-terminated path.
  if (length > 0 && IsLeadAt(from, length - 1)) --length;
  std::memcpy(target, from, length);
  target[length] = '\0';
}

}  // namespace

const char* PathSkipRoot(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  if (path[0] == '\\' && path[1] == '\\') {
    const char* server = FindBackslash(path + 2);
    if (server == nullptr) return nullptr;
    const char* share = FindBackslash(server + 1);
    if (share == nullptr) return nullptr;
    return share + 1;
  }
  if (IsLeadByte(static_cast<unsigned char>(path[0]))) return nullptr;
  if (path[1] == ':' && path[2] == '\\') return path + 3;
  return nullptr;
}

bool PathStripToRoot(char* path) {
  if (path == nullptr) return false;
  while (!IsRoot(path)) {
    if (!RemoveFileSpec(path)) return false;
  }
  return true;
}

void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  if (drive != nullptr) drive[0] = '\0';
  if (dir != nullptr) dir[0] = '\0';
  if (fname != nullptr) fname[0] = '\0';
  if (ext != nullptr) ext[0] = '\0';
  if (path == nullptr) return;
  const char* p = path;
  if (p[0] != '\0' && p[1] == ':') {
    CopyPart(drive, 3, p, 2);
    p += 2;
  }
  const char* lastSeparator = nullptr;
  const char* lastDot = nullptr;
  for (const char* q = p; *q != '\0'; q = CharNext(q)) {
    if (*q == '\\' || *q == '/') {
      lastSeparator = q;
      lastDot = nullptr;
    } else if (*q == '.') {
      lastDot = q;
    }
  }
  const char* nameStart = p;
  if (lastSeparator != nullptr) {
    CopyPart(dir, 256, p, static_cast<std::size_t>(lastSeparator + 1 - p));
    nameStart = lastSeparator + 1;
  }
  const char* end = nameStart + std::strlen(nameStart);
  const char* nameEnd = lastDot != nullptr ? lastDot : end;
  CopyPart(fname, 256, nameStart, static_cast<std::size_t>(nameEnd - nameStart));
  if (lastDot != nullptr) CopyPart(ext, 256, lastDot, static_cast<std::size_t>(end - lastDot));
}

}  // namespace platform
