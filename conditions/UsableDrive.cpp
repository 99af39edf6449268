#include "conditions/UsableDrive.h"

#include <cstddef>
#include <string>

#include "conditions/PathText.h"
#include "platform/text/WinTypes.h"
#include "platform/winfs/WinFileSystem.h"

namespace taxlink {

namespace {

// Offset of the first separator at or after from, passing over double-byte
// characters whole; npos when there is none.
std::size_t FindSeparator(const char* text, std::size_t from) {
  for (std::size_t i = 0; text[i] != '\0';) {
    if (IsInDoubleByteChar(text, i)) {
      i += 2;
      continue;
    }
    if (i >= from && text[i] == '\\') return i;
    ++i;
  }
  return std::string::npos;
}

}  // namespace

bool IsUsableDrive(const char* path) {
  if (path == nullptr) return false;
  if (path[0] == '\\' && path[1] == '\\') {
    std::size_t serverEnd = FindSeparator(path, 3);
    if (serverEnd == std::string::npos) return false;
    std::size_t shareEnd = FindSeparator(path, serverEnd + 1);
    if (shareEnd == std::string::npos) return false;
    std::string share(path, shareEnd);
    return platform::Access(share.c_str(), kAccessReadWrite) == 0;
  }
  for (std::size_t i = FindSeparator(path, 0); i != std::string::npos;
       i = FindSeparator(path, i + 1)) {
    if (path[i + 1] == '\\') return false;
  }
  return IsUsableDriveLetter(path[0], kAccessReadWrite);
}

bool IsUsableDriveLetter(char letter, int accessMode) {
  int c = static_cast<unsigned char>(letter);
  int index = (c >= 'A' && c <= 'Z') ? c - 'A' : c - 'a';
  if (index < 0 || index > 25) return false;
  char root[4] = {static_cast<char>('A' + index), ':', '\\', '\0'};
  switch (platform::GetDriveType(root)) {
    case DRIVE_UNKNOWN:
      return false;
    case DRIVE_NO_ROOT_DIR:
      return true;
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
      return platform::Access(root, accessMode) == 0;
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return false;
    default:
      return true;
  }
}

bool DriveExists(const char* path) {
  if (path == nullptr || path[0] == '\0' || path[1] != ':') return true;
  int c = static_cast<unsigned char>(path[0]);
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return true;
  char root[4] = {static_cast<char>(c), ':', '\\', '\0'};
  return platform::GetDriveType(root) != DRIVE_NO_ROOT_DIR;
}

}  // namespace taxlink
