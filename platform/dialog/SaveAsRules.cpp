#include "platform/dialog/SaveAsRules.h"

#include "platform/text/Mbcs.h"
#include "platform/winfs/PathMapping.h"
#include "platform/winfs/WinFileSystem.h"

namespace platform {

namespace {

constexpr uint32_t kPathMustExist = 0x0800;  // OFN_PATHMUSTEXIST

bool IsSeparatorAt(const std::string& path, std::size_t i) {
  return (path[i] == '\\' || path[i] == '/') && !IsTrailAt(path.c_str(), i);
}

// The offset after the last separator (0 when there is none).
std::size_t AfterLastSeparator(const std::string& path) {
  std::size_t after = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparatorAt(path, i)) after = i + 1;
  }
  return after;
}

}  // namespace

const char* SaveAsRefusal(const SaveFileRequest& request, const std::string& windowsPath) {
  std::size_t cut = AfterLastSeparator(windowsPath);
  std::string folder = windowsPath.substr(0, cut);
  if ((request.flags & kPathMustExist) != 0 && !folder.empty() &&
      !PathIsDirectory(folder.c_str())) {
    return kSaveAsFolderNotFound;
  }
  if (cut == windowsPath.size()) return kSaveAsNoFileName;
  if (request.maxFile != 0 && windowsPath.size() + 1 > request.maxFile) return kSaveAsPathTooLong;
  return nullptr;
}

std::string WithDefaultExtension(const SaveFileRequest& request, const std::string& windowsPath) {
  std::string name = windowsPath.substr(AfterLastSeparator(windowsPath));
  if (name.empty() || name.find('.') != std::string::npos || request.defaultExtension.empty()) {
    return windowsPath;
  }
  std::string extension = request.defaultExtension;
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return windowsPath + "." + extension;
}

std::string NearestExistingFolder(const std::string& windowsFolder) {
  std::string folder = windowsFolder;
  const char* rest = PathSkipRoot(folder.c_str());
  std::size_t rootLength = rest != nullptr ? static_cast<std::size_t>(rest - folder.c_str()) : 0;
  while (true) {
    if (!folder.empty() && PathIsDirectory(folder.c_str())) {
      if (!IsSeparatorAt(folder, folder.size() - 1)) folder.push_back('\\');
      return folder;
    }
    // One level up: drop a trailing separator, then the last name.
    if (!folder.empty() && IsSeparatorAt(folder, folder.size() - 1)) folder.pop_back();
    std::size_t cut = AfterLastSeparator(folder);
    if (folder.empty() || cut == 0 || folder.size() <= rootLength) return std::string();
    folder.resize(cut < rootLength ? rootLength : cut);
  }
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  for (const DriveMapping& drive : ReadDriveMap()) {
    std::string root = std::string(1, drive.letter) + ":\\";
    if (PathIsDirectory(root.c_str())) roots.push_back(root);
  }
  return roots;
}

bool IsRootedWindowsPath(const std::string& path) {
  bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') &&
               ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.rfind("\\\\", 0) == 0;
}

}  // namespace platform
