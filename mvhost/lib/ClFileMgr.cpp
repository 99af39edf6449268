#include "host/ClFileMgr.h"

#include <string>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostStore.h"
#include "platform/Mbcs.h"
#include "platform/WinFileSystem.h"

ClFileMgr* ClFileMgr::Inst() {
  static ClFileMgr manager;
  return &manager;
}

const char* ClFileMgr::GetAppFolderPath(int folderType) {
  static std::string path;
  path.clear();
  if (mvhost::FaultInjection::Find("ClFileMgr::GetAppFolderPath")) return path.c_str();
  std::string home = mvhost::HostStore::HomeFromEnvironment();
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  const char* folder = folderType == 0 ? "/folders/out/" : folderType == 1 ? "/folders/app/" : nullptr;
  if (home.empty() || folder == nullptr) return path.c_str();
  path = platform::ToWindowsPath(home + folder);
  // A 0x5C that ends a double-byte character is no separator.
  if (!path.empty() && (path.back() != '\\' || platform::IsTrailAt(path.c_str(), path.size() - 1))) {
    path += '\\';
  }
  return path.c_str();
}
