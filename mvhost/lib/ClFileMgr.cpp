#include "host/ClFileMgr.h"

#include <string>

#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/HostStore.h"
#include "platform/text/Mbcs.h"
#include "platform/winfs/WinFileSystem.h"

namespace mvhost {

namespace {

// The folders under the host home.
class Folders : public ClFileMgr::Impl {
 public:
  const char* GetAppFolderPath(int folderType) override;

 private:
  std::string path_;
};

const char* Folders::GetAppFolderPath(int folderType) {
  std::string& path = path_;
  path.clear();
  std::string home = mvhost::HostStore::HomeFromEnvironment();
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  const char* folder = folderType == 0   ? "/folders/out/"
                       : folderType == 1 ? "/folders/app/"
                                         : nullptr;
  if (home.empty() || folder == nullptr) return path.c_str();
  path = platform::ToWindowsPath(home + folder);
  // A 0x5C that ends a double-byte character is no separator.
  if (!path.empty() &&
      (path.back() != '\\' || platform::IsTrailAt(path.c_str(), path.size() - 1))) {
    path += '\\';
  }
  return path.c_str();
}

}  // namespace

ClFileMgr::Impl& FolderService() {
  static Folders folders;
  return folders;
}

}  // namespace mvhost
