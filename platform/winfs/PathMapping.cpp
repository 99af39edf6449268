#include "platform/winfs/PathMapping.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/text/Encoding.h"
#include "platform/text/WinTypes.h"
#include "platform/winfs/WinFileSystem.h"

namespace platform {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

std::string NormalizeRoot(std::string_view root) {
  std::string result(root);
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::optional<uint32_t> DriveTypeByName(std::string_view name) {
  static const struct {
    const char* name;
    uint32_t type;
  } kTypes[] = {{"fixed", DRIVE_FIXED}, {"removable", DRIVE_REMOVABLE}, {"remote", DRIVE_REMOTE},
                {"cdrom", DRIVE_CDROM}, {"ramdisk", DRIVE_RAMDISK},     {"unknown", DRIVE_UNKNOWN}};
  for (const auto& entry : kTypes) {
    if (EqualsIgnoreCase(name, entry.name)) return entry.type;
  }
  return std::nullopt;
}

// Joins root and the components of rest, resolving "." and "..".
std::string JoinResolved(const std::string& root, std::string_view rest) {
  std::vector<std::string_view> kept;
  for (std::string_view part : Split(rest, '\\')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string result = root;
  for (std::string_view part : kept) {
    if (result.empty() || result.back() != '/') result.push_back('/');
    result.append(part);
  }
  return result;
}

std::string CurrentWindowsUtf8() {
  char buffer[4096];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) return std::string();
  return PosixToWindowsUtf8(buffer);
}

}  // namespace

std::string DriveMapSetting() {
  const char* value = std::getenv("TAXLINK_DRIVES");
  if (value == nullptr) return "TAXLINK_DRIVES not set, so C: is /";
  return std::string("TAXLINK_DRIVES=") + value;
}

std::vector<DriveMapping> ReadDriveMap() {
  std::vector<DriveMapping> drives;
  const char* value = std::getenv("TAXLINK_DRIVES");
  if (value == nullptr) {
    drives.push_back(DriveMapping{'C', "/", DRIVE_FIXED});
    return drives;
  }
  for (std::string_view entry : Split(value, ';')) {
    entry = Trim(entry);
    std::size_t equals = entry.find('=');
    if (equals != 1) continue;
    char letter = entry[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
    if (letter < 'A' || letter > 'Z') continue;
    std::string_view target = entry.substr(2);
    uint32_t type = DRIVE_FIXED;
    std::size_t comma = target.rfind(',');
    if (comma != std::string_view::npos) {
      std::optional<uint32_t> named = DriveTypeByName(Trim(target.substr(comma + 1)));
      if (!named) continue;
      type = *named;
      target = target.substr(0, comma);
    }
    target = Trim(target);
    if (target.empty() || target.front() != '/') continue;
    DriveMapping mapping{letter, NormalizeRoot(target), type};
    bool replaced = false;
    for (DriveMapping& existing : drives) {
      if (existing.letter == letter) {
        existing = mapping;
        replaced = true;
      }
    }
    if (!replaced) drives.push_back(mapping);
  }
  return drives;
}

std::vector<ShareMapping> ReadShareMap() {
  std::vector<ShareMapping> shares;
  const char* value = std::getenv("TAXLINK_SHARES");
  if (value == nullptr) return shares;
  for (std::string_view entry : Split(value, ';')) {
    entry = Trim(entry);
    std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view name = entry.substr(0, equals);
    while (!name.empty() && name.front() == '\\') name.remove_prefix(1);
    std::size_t slash = name.find('\\');
    if (slash == std::string_view::npos || slash == 0 || slash + 1 >= name.size()) continue;
    std::string_view target = Trim(entry.substr(equals + 1));
    if (target.empty() || target.front() != '/') continue;
    shares.push_back(ShareMapping{std::string(name.substr(0, slash)),
                                  std::string(name.substr(slash + 1)), NormalizeRoot(target)});
  }
  return shares;
}

std::optional<DriveMapping> FindDrive(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  for (const DriveMapping& drive : ReadDriveMap()) {
    if (drive.letter == letter) return drive;
  }
  return std::nullopt;
}

std::optional<ShareMapping> FindShare(std::string_view server, std::string_view share) {
  for (const ShareMapping& mapping : ReadShareMap()) {
    if (EqualsIgnoreCase(mapping.server, server) && EqualsIgnoreCase(mapping.share, share)) {
      return mapping;
    }
  }
  return std::nullopt;
}

std::optional<std::string> MapUtf8WindowsPath(std::string_view windowsUtf8) {
  std::string path(windowsUtf8);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    std::string_view rest = std::string_view(path).substr(2);
    std::size_t serverEnd = rest.find('\\');
    if (serverEnd == std::string_view::npos || serverEnd == 0) return std::nullopt;
    std::string_view server = rest.substr(0, serverEnd);
    rest = rest.substr(serverEnd + 1);
    std::size_t shareEnd = rest.find('\\');
    std::string_view share = rest.substr(0, shareEnd);
    if (share.empty()) return std::nullopt;
    std::optional<ShareMapping> mapping = FindShare(server, share);
    if (!mapping) return std::nullopt;
    rest = shareEnd == std::string_view::npos ? std::string_view() : rest.substr(shareEnd + 1);
    return JoinResolved(mapping->posixRoot, rest);
  }
  bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                  ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (hasDrive) {
    std::optional<DriveMapping> drive = FindDrive(path[0]);
    if (!drive) return std::nullopt;
    std::string_view rest = std::string_view(path).substr(2);
    if (!rest.empty() && rest.front() == '\\') return JoinResolved(drive->posixRoot, rest);
    // "C:name" is relative to the current directory when that is on the
    // same drive, else to the drive's root.
    std::string current = CurrentWindowsUtf8();
    if (current.size() >= 2 && ToLowerAscii(current[0]) == ToLowerAscii(path[0])) {
      return MapUtf8WindowsPath(current + "\\" + std::string(rest));
    }
    return JoinResolved(drive->posixRoot, rest);
  }
  std::string current = CurrentWindowsUtf8();
  if (current.empty()) return std::nullopt;
  if (!path.empty() && path[0] == '\\') {
    // Root of the current drive (or share).
    std::string root;
    if (current.size() >= 2 && current[1] == ':') {
      root = current.substr(0, 2);
    } else {
      return std::nullopt;
    }
    return MapUtf8WindowsPath(root + path);
  }
  return MapUtf8WindowsPath(current + "\\" + path);
}

std::string PosixToWindowsUtf8(std::string_view posixPath) {
  if (posixPath.empty() || posixPath.front() != '/') return std::string();
  const DriveMapping* best = nullptr;
  std::vector<DriveMapping> drives = ReadDriveMap();
  for (const DriveMapping& drive : drives) {
    const std::string& root = drive.posixRoot;
    // "/" holds every path; another root holds itself and what lies below it.
    const bool matches =
        root == "/" || (posixPath.substr(0, root.size()) == root &&
                        (posixPath.size() == root.size() || posixPath[root.size()] == '/'));
    if (matches && (best == nullptr || root.size() > best->posixRoot.size())) best = &drive;
  }
  if (best == nullptr) return std::string();
  std::string_view rest = posixPath.substr(best->posixRoot == "/" ? 1 : best->posixRoot.size());
  std::string result;
  result.push_back(best->letter);
  result.append(":\\");
  bool lastWasSeparator = true;
  for (char c : rest) {
    if (c == '/') {
      if (!lastWasSeparator) result.push_back('\\');
      lastWasSeparator = true;
    } else {
      result.push_back(c);
      lastWasSeparator = false;
    }
  }
  if (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

std::optional<std::string> ToPosixPath(std::string_view windowsPath) {
  std::string utf8;
  if (!TryCp932ToUtf8(windowsPath, &utf8)) return std::nullopt;
  if (utf8.empty()) return std::nullopt;
  return MapUtf8WindowsPath(utf8);
}

std::string ToWindowsPath(std::string_view posixPath) {
  std::string utf8 = PosixToWindowsUtf8(posixPath);
  if (utf8.empty()) return std::string();
  std::string cp932;
  if (!TryUtf8ToCp932(utf8, &cp932)) return std::string();
  return cp932;
}

}  // namespace platform
