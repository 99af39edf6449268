#include "platform/winfs/ReplacementFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "platform/winfs/WinFileSystem.h"

namespace platform {
namespace {

// The folder part of a POSIX path ("." for a bare name).
std::string FolderOf(const std::string& posix) {
  std::string::size_type slash = posix.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return posix.substr(0, slash);
}

// Whether path still names the file open at fd.
bool StillNames(const std::string& path, int fd) {
  struct stat named, open;
  return lstat(path.c_str(), &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
         named.st_ino == open.st_ino;
}

// "<stem>.<digits>.tmp"
bool IsTemporaryName(std::string_view name, std::string_view stem) {
  if (name.size() <= stem.size() + 5 || name.substr(0, stem.size()) != stem ||
      name[stem.size()] != '.' || name.substr(name.size() - 4) != ".tmp") {
    return false;
  }
  std::string_view digits = name.substr(stem.size() + 1, name.size() - stem.size() - 5);
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  return !digits.empty();
}

void RemoveStaleIn(const std::string& folderPosix, std::string_view stem) {
  DIR* folder = opendir(folderPosix.c_str());
  if (folder == nullptr) return;
  while (dirent* entry = readdir(folder)) {
    if (!IsTemporaryName(entry->d_name, stem)) continue;
    std::string path = folderPosix + "/" + entry->d_name;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info;
    // A temporary whose writer runs is locked; one left unlocked is stale.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        StillNames(path, fd)) {
      unlink(path.c_str());
    }
    close(fd);
  }
  closedir(folder);
}

// Gives the file open at fd the owner, group and permission bits of info.
// An owner or group this process may not give is left as created; the mode
// is set last, as a change of owner may clear set-id bits.
void KeepOwnerAndMode(int fd, const struct stat& info) {
  if (fchown(fd, info.st_uid, info.st_gid) != 0) {
    (void)fchown(fd, static_cast<uid_t>(-1), info.st_gid);
  }
  (void)fchmod(fd, info.st_mode & 07777);
}

bool Fail(FileException* error, int cause, const std::string& path) {
  if (error != nullptr) {
    error->cause = cause;
    error->path = path;
  }
  return false;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target, std::string stem)
    : target_(std::move(target)), stem_(std::move(stem)) {}

ReplacementFile::~ReplacementFile() {
  Discard();
  CloseReplaced();
}

std::string ReplacementFile::TemporaryName(std::string_view stem) {
  return TemporaryNameOf(stem, static_cast<long>(getpid()));
}

std::string ReplacementFile::TemporaryNameOf(std::string_view stem, long pid) {
  return std::string(stem) + "." + std::to_string(pid) + ".tmp";
}

bool ReplacementFile::Open(File* file, FileException* error) {
  Discard();
  direct_ = false;
  std::optional<std::string> posix;
  if (!target_.empty()) posix = ToPosixPath(target_);
  if (!posix || posix->empty() || posix->back() == '/') return Fail(error, ENOENT, target_);
  // A symbolic link at the path is refused. Following it would replace a
  // file the link names, perhaps in another folder (a link planted in a
  // shared folder could aim a run at anybody's file); replacing the link
  // itself would quietly undo what whoever made it meant.
  struct stat info;
  const bool exists = lstat(posix->c_str(), &info) == 0;
  if (exists && S_ISLNK(info.st_mode)) return Fail(error, ELOOP, target_);
  if (exists) {
    if (S_ISDIR(info.st_mode)) return Fail(error, EISDIR, target_);
    // A file that may not be written is not replaced either.
    if (access(posix->c_str(), W_OK) != 0) return Fail(error, errno, target_);
    if (!S_ISREG(info.st_mode)) {
      // A device or a pipe cannot be replaced: it is written directly.
      int fd = open(posix->c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) return Fail(error, errno, target_);
      file->Abort();
      file->fd_ = fd;
      file->path_ = target_;
      direct_ = true;
      return true;
    }
  }
  targetPosix_ = *posix;
  const std::string folder = FolderOf(targetPosix_);
  temporaryPosix_ = folder + "/" + TemporaryName(stem_);
  RemoveStaleIn(folder, stem_);

  // A cleaner of another process may delete the new file between its
  // creation and its lock; it is then created again.
  for (int attempt = 0; attempt < 3 && holder_ < 0; ++attempt) {
    int fd = open(temporaryPosix_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST && attempt > 0) {
      usleep(1000);  // the cleaner that took it is about to delete it
      continue;
    }
    if (fd < 0) return Fail(error, errno, target_);
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNames(temporaryPosix_, fd)) {
      holder_ = fd;
    } else {
      close(fd);
    }
  }
  if (holder_ < 0) return Fail(error, EAGAIN, target_);
  // The new file takes the old one's owner (where this process may give
  // it) and mode, so that a report or a record kept private stays so.
  if (exists) KeepOwnerAndMode(holder_, info);
  // The writer's descriptor is closed on exec from its creation on.
  int writer = fcntl(holder_, F_DUPFD_CLOEXEC, 0);
  if (writer < 0) {
    int cause = errno;
    Discard();
    return Fail(error, cause, target_);
  }
  file->Abort();
  file->fd_ = writer;
  file->path_ = target_;
  return true;
}

bool ReplacementFile::TargetIsDirect() const {
  const std::optional<std::string> posix = ToPosixPath(target_);
  struct stat info;
  return posix && lstat(posix->c_str(), &info) == 0 && !S_ISREG(info.st_mode) &&
         !S_ISDIR(info.st_mode) && !S_ISLNK(info.st_mode);
}

void ReplacementFile::DropTargetPages() {
  struct stat info;
  // A link, a device or a pipe is left alone (opening a pipe would disturb
  // its writer; a link's target is not what the rename replaces).
  if (replaced_ >= 0 || lstat(targetPosix_.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  const int fd = open(targetPosix_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return;
  }
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  replaced_ = fd;
}

void ReplacementFile::CloseReplaced() {
  if (replaced_ >= 0) close(replaced_);
  replaced_ = -1;
}

bool ReplacementFile::Commit() {
  if (direct_) return true;
  if (holder_ < 0) return false;
  if (fsync(holder_) != 0 || rename(temporaryPosix_.c_str(), targetPosix_.c_str()) != 0) {
    Discard();
    return false;
  }
  close(holder_);
  holder_ = -1;
  int folder = open(FolderOf(targetPosix_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  bool synced = folder >= 0 && fsync(folder) == 0;
  if (folder >= 0) close(folder);
  return synced;
}

void ReplacementFile::Discard() {
  if (holder_ < 0) return;
  if (StillNames(temporaryPosix_, holder_)) unlink(temporaryPosix_.c_str());
  close(holder_);
  holder_ = -1;
}

}  // namespace platform
