#include "platform/winfs/WinFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/text/Encoding.h"
#include "platform/text/Mbcs.h"
#include "platform/text/WinTypes.h"
#include "platform/winfs/PathMapping.h"

namespace platform {
namespace {

// Whether a Windows path text ends in a separator (a trail byte 0x5C of a
// double-byte character is none).
bool EndsInSeparator(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length == 0) return false;
  const char last = path[length - 1];
  return (last == '\\' || last == '/') && !IsTrailAt(path, length - 1);
}

// The POSIX path of a Windows path argument; sets errno when there is none.
// A text that ends in a separator names a folder, as on Windows: the POSIX
// path keeps a final "/", so a file there is not found ("file\" fails).
std::optional<std::string> Posix(const char* path) {
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    return std::nullopt;
  }
  std::optional<std::string> posix = ToPosixPath(path);
  if (!posix) {
    errno = ENOENT;
    return posix;
  }
  if (EndsInSeparator(path) && !posix->empty() && posix->back() != '/') posix->push_back('/');
  return posix;
}

bool StatPath(const char* path, struct stat* info) {
  std::optional<std::string> posix = Posix(path);
  return posix && stat(posix->c_str(), info) == 0;
}

// Copies text and its terminator into buffer when it fits.
bool CopyOut(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || text.size() + 1 > size) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

bool PathFileExists(const char* path) {
  struct stat info;
  return StatPath(path, &info);
}

bool PathIsDirectory(const char* path) {
  struct stat info;
  return StatPath(path, &info) && S_ISDIR(info.st_mode);
}

uint32_t GetDriveType(const char* rootPath) {
  std::string root;
  if (rootPath == nullptr) {
    char current[MAX_PATH_ + 1];
    if (Getcwd(current, sizeof(current)) == nullptr) return DRIVE_NO_ROOT_DIR;
    root = current;
    if (root.size() < 2 || root[1] != ':') return DRIVE_NO_ROOT_DIR;
    root = root.substr(0, 2) + "\\";
  } else {
    root = rootPath;
  }
  if (root.size() >= 2 && root[0] == '\\' && root[1] == '\\') {
    // \\server\share\ is a root only with its final backslash.
    if (root.back() != '\\' || PathSkipRoot(root.c_str()) == nullptr ||
        *PathSkipRoot(root.c_str()) != '\0') {
      return DRIVE_NO_ROOT_DIR;
    }
    std::optional<std::string> posix = ToPosixPath(root);
    struct stat info;
    if (!posix || stat(posix->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      return DRIVE_NO_ROOT_DIR;
    }
    return DRIVE_REMOTE;
  }
  bool driveForm = (root.size() == 3 && root[1] == ':' && root[2] == '\\') ||
                   (root.size() == 2 && root[1] == ':');
  if (!driveForm) return DRIVE_NO_ROOT_DIR;
  std::optional<DriveMapping> drive = FindDrive(root[0]);
  if (!drive) return DRIVE_NO_ROOT_DIR;
  struct stat info;
  if (stat(drive->posixRoot.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return DRIVE_NO_ROOT_DIR;
  }
  return drive->type;
}

bool CreateDirectory(const char* path) {
  std::optional<std::string> posix = Posix(path);
  return posix && mkdir(posix->c_str(), 0777) == 0;
}

bool RemoveDirectory(const char* path) {
  std::optional<std::string> posix = Posix(path);
  return posix && rmdir(posix->c_str()) == 0;
}

bool DeleteFile(const char* path) {
  std::optional<std::string> posix = Posix(path);
  if (!posix) return false;
  struct stat info;
  if (lstat(posix->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return unlink(posix->c_str()) == 0;
}

bool MoveFileReplace(const char* from, const char* to) {
  std::optional<std::string> source = Posix(from);
  std::optional<std::string> target = Posix(to);
  if (!source || !target) return false;
  struct stat info;
  if (stat(target->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return rename(source->c_str(), target->c_str()) == 0;
}

uint32_t GetTempPath(uint32_t size, char* buffer) {
  const char* posix = std::getenv("TAXLINK_TEMP");
  if (posix == nullptr || *posix == '\0') posix = std::getenv("TMPDIR");
  if (posix == nullptr || *posix == '\0') posix = "/tmp";
  std::string path = ToWindowsPath(posix);
  if (path.empty()) return 0;
  if (path.back() != '\\' || IsTrailAt(path.c_str(), path.size() - 1)) path.push_back('\\');
  if (CopyOut(path, buffer, size)) return static_cast<uint32_t>(path.size());
  // Too small: the size needed, terminator included.
  return static_cast<uint32_t>(path.size() + 1);
}

namespace {

std::string ModulePosixPath() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

std::string GetModuleFileName() {
  std::string posix = ModulePosixPath();
  return posix.empty() ? posix : ToWindowsPath(posix);
}

std::string GetModuleFolderPosix() {
  std::string posix = ModulePosixPath();
  std::size_t slash = posix.rfind('/');
  return slash == std::string::npos ? posix : posix.substr(0, slash == 0 ? 1 : slash);
}

int Access(const char* path, int mode) {
  int posixMode = 0;
  switch (mode) {
    case 0:
      posixMode = F_OK;
      break;
    case 2:
      posixMode = W_OK;
      break;
    case 4:
      posixMode = R_OK;
      break;
    case 6:
      posixMode = R_OK | W_OK;
      break;
    default:
      errno = EINVAL;
      return -1;
  }
  std::optional<std::string> posix = Posix(path);
  if (!posix) return -1;
  return access(posix->c_str(), posixMode) == 0 ? 0 : -1;
}

int Chdir(const char* path) {
  std::optional<std::string> posix = Posix(path);
  if (!posix) return -1;
  return chdir(posix->c_str()) == 0 ? 0 : -1;
}

char* Getcwd(char* buffer, int size) {
  char posix[4096];
  if (getcwd(posix, sizeof(posix)) == nullptr) return nullptr;
  std::string path = ToWindowsPath(posix);
  if (path.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  if (buffer == nullptr) {
    // As the runtime does: a buffer of at least size bytes is allocated.
    std::size_t length = path.size() + 1;
    if (size > 0 && static_cast<std::size_t>(size) > length)
      length = static_cast<std::size_t>(size);
    buffer = static_cast<char*>(std::malloc(length));
    if (buffer == nullptr) return nullptr;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return buffer;
  }
  if (size <= 0 || !CopyOut(path, buffer, static_cast<std::size_t>(size))) {
    errno = ERANGE;
    return nullptr;
  }
  return buffer;
}

bool GetFileStatus(const char* path, FileStatus* status) {
  struct stat info;
  if (status == nullptr || !StatPath(path, &info)) return false;
  status->size = static_cast<uint64_t>(info.st_size);
  status->isDirectory = S_ISDIR(info.st_mode);
  return true;
}

}  // namespace platform
