#include "conditions/FolderLevels.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "conditions/PathText.h"
#include "platform/winfs/WinFileSystem.h"

namespace taxlink {

namespace {

// A path reduced to its folder and ending in a separator, in a work buffer.
bool FolderWithSeparator(const char* path, char* buffer) {
  if (path == nullptr || path[0] == '\0') return false;
  if (std::strlen(path) > kPathBufferSize - 1) return false;
  std::strcpy(buffer, path);
  if (!ReduceToDirectory(buffer) || buffer[0] == '\0') return false;
  return EnsureTrailingSeparator(buffer, kPathBufferSize);
}

// The root of a folder (C:\ or \\server\share\) ending in a separator.
bool RootOf(const char* folder, char* root) {
  std::strcpy(root, folder);
  if (!platform::PathStripToRoot(root)) return false;
  return EnsureTrailingSeparator(root, kPathBufferSize);
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares the first count bytes ignoring the case of single-byte letters
// (never of trail bytes); a text that ends early differs.
bool EqualIgnoringCase(const char* a, const char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] == '\0' || b[i] == '\0') return a[i] == b[i];
    bool aDouble = IsInDoubleByteChar(a, i);
    bool bDouble = IsInDoubleByteChar(b, i);
    if (aDouble != bDouble) return false;
    if (aDouble ? a[i] != b[i] : FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

bool CreateFolderLevels(const char* folder) {
  char target[kPathBufferSize] = {};
  if (!FolderWithSeparator(folder, target)) return false;
  const char* rest = platform::PathSkipRoot(target);
  if (rest == nullptr) return false;
  char root[kPathBufferSize] = {};
  if (!RootOf(target, root)) return false;

  std::string lastExisting = root;
  std::size_t restLength = std::strlen(rest);
  for (std::size_t k = 0; k < restLength; ++k) {
    if (IsInDoubleByteChar(rest, k)) {
      ++k;  // the trail byte
      continue;
    }
    if (rest[k] != '\\') continue;
    char level[kPathBufferSize] = {};
    std::size_t rootLength = std::strlen(root);
    if (rootLength + k > kPathBufferSize - 1) return false;
    std::memcpy(level, root, rootLength);
    std::memcpy(level + rootLength, rest, k);
    if (!EnsureTrailingSeparator(level, kPathBufferSize)) return false;
    if (DirectoryExists(level)) {
      lastExisting = level;
      continue;
    }
    if (!platform::CreateDirectory(level)) {
      RemoveCreatedFolders(level, lastExisting.c_str());
      return false;
    }
  }
  return true;
}

bool RemoveCreatedFolders(const char* failedLevel, const char* stopFolder) {
  char deepest[kPathBufferSize] = {};
  if (!FolderWithSeparator(failedLevel, deepest)) return false;
  char stop[kPathBufferSize] = {};
  bool hasStop = stopFolder != nullptr;
  if (hasStop && !FolderWithSeparator(stopFolder, stop)) return false;

  const char* pRest = platform::PathSkipRoot(deepest);
  if (pRest == nullptr) return false;
  const char* sRest = nullptr;
  if (hasStop) {
    sRest = platform::PathSkipRoot(stop);
    if (sRest == nullptr) return false;
  }
  char root[kPathBufferSize] = {};
  if (!RootOf(deepest, root)) return false;
  if (hasStop) {
    char stopRoot[kPathBufferSize] = {};
    if (!RootOf(stop, stopRoot)) return false;
    std::size_t rootLength = std::strlen(root);
    if (rootLength != std::strlen(stopRoot) || !EqualIgnoringCase(root, stopRoot, rootLength)) {
      return false;
    }
    if (!EqualIgnoringCase(pRest, sRest, std::strlen(sRest))) return false;
  }

  std::size_t rootLength = std::strlen(root);
  for (std::size_t k = std::strlen(pRest); k-- > 1;) {
    if (pRest[k] != '\\' || IsInDoubleByteChar(pRest, k)) continue;
    if (hasStop && EqualIgnoringCase(sRest, pRest, k)) return true;
    char candidate[kPathBufferSize] = {};
    std::memcpy(candidate, root, rootLength);
    std::memcpy(candidate + rootLength, pRest, k);
    if (!EnsureTrailingSeparator(candidate, kPathBufferSize)) return false;
    if (DirectoryExists(candidate) && !platform::RemoveDirectory(candidate)) return false;
  }
  return true;
}

}  // namespace taxlink
