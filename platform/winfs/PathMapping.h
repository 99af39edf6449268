#ifndef TAXLINK_PLATFORM_WINFS_PATHMAPPING_H_
#define TAXLINK_PLATFORM_WINFS_PATHMAPPING_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The drive and share tables behind WinFileSystem, read from the
// environment on every call so that a changed variable takes effect at once.

struct DriveMapping {
  char letter = 'C';      // upper case
  std::string posixRoot;  // UTF-8, no trailing slash except for "/"
  uint32_t type = 0;      // DRIVE_FIXED and the others
};

struct ShareMapping {
  std::string server;  // UTF-8 as written
  std::string share;
  std::string posixRoot;
};

// TAXLINK_DRIVES; C: is "/" when the variable is not set. Entries that
// cannot be read are skipped; a later entry for a letter replaces an
// earlier one.
std::vector<DriveMapping> ReadDriveMap();
// The drive map as the user wrote it, for messages: "TAXLINK_DRIVES=..." or
// "TAXLINK_DRIVES not set, so C: is /".
std::string DriveMapSetting();
// TAXLINK_SHARES.
std::vector<ShareMapping> ReadShareMap();

std::optional<DriveMapping> FindDrive(char letter);
std::optional<ShareMapping> FindShare(std::string_view server, std::string_view share);

// The POSIX path of an absolute or relative Windows path written in UTF-8
// (backslashes or slashes); "." and ".." are resolved by text, as Windows
// does, never above the root.
std::optional<std::string> MapUtf8WindowsPath(std::string_view windowsUtf8);
// The Windows path, in UTF-8, of an absolute POSIX path; empty when no
// drive maps it.
std::string PosixToWindowsUtf8(std::string_view posixPath);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_WINFS_PATHMAPPING_H_
