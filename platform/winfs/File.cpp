#include "platform/winfs/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/winfs/WinFileSystem.h"

namespace platform {

File::~File() { Abort(); }

bool File::Open(const char* path, unsigned flags, FileException* error) {
  Abort();
  int openFlags = O_CLOEXEC;
  switch (flags & 0x3) {
    case kWrite:
      openFlags |= O_WRONLY;
      break;
    case kReadWrite:
      openFlags |= O_RDWR;
      break;
    default:
      openFlags |= O_RDONLY;
      break;
  }
  if ((flags & kCreate) != 0) openFlags |= (flags & kNoTruncate) != 0 ? O_CREAT : O_CREAT | O_TRUNC;
  std::string windowsPath = path != nullptr ? path : "";
  std::optional<std::string> posix;
  if (!windowsPath.empty()) posix = ToPosixPath(windowsPath);
  int fd = -1;
  int cause = ENOENT;
  if (posix) {
    fd = open(posix->c_str(), openFlags, 0666);
    if (fd < 0) cause = errno;
  }
  if (fd >= 0) {
    // A directory opens for reading on POSIX, but never as a file here.
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
      close(fd);
      fd = -1;
      cause = EISDIR;
    }
  }
  if (fd < 0) {
    if (error != nullptr) {
      error->cause = cause;
      error->path = windowsPath;
    }
    return false;
  }
  fd_ = fd;
  path_ = windowsPath;
  return true;
}

std::size_t File::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) throw FileException{EBADF, path_};
  char* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t got = read(fd_, out + done, count - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileException{errno, path_};
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void File::Write(const void* data, std::size_t count) {
  if (fd_ < 0) throw FileException{EBADF, path_};
  if (const int cause = WriteFully(fd_, data, count); cause != 0) {
    throw FileException{cause, path_};
  }
}

int WriteFully(int descriptor, const void* data, std::size_t count) {
  const char* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t wrote = write(descriptor, in + done, count - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return errno;
    if (wrote == 0) return ENOSPC;
    done += static_cast<std::size_t>(wrote);
  }
  return 0;
}

int WriteFullyAt(int descriptor, const void* data, std::size_t count, uint64_t offset) {
  const char* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t wrote =
        pwrite(descriptor, in + done, count - done, static_cast<off_t>(offset + done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return errno;
    if (wrote == 0) return ENOSPC;
    done += static_cast<std::size_t>(wrote);
  }
  return 0;
}

void StartFileWriteBack(int descriptor) {
  // The whole file (0, 0): pages already being written are not waited for.
  ::sync_file_range(descriptor, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void File::StartWriteBack() {
  if (fd_ >= 0) StartFileWriteBack(fd_);
}

void File::WriteAt(const void* data, std::size_t count, uint64_t offset) {
  if (fd_ < 0) throw FileException{EBADF, path_};
  if (const int cause = WriteFullyAt(fd_, data, count, offset); cause != 0) {
    throw FileException{cause, path_};
  }
}

uint64_t File::SeekToEnd() {
  if (fd_ < 0) throw FileException{EBADF, path_};
  off_t position = lseek(fd_, 0, SEEK_END);
  if (position < 0) throw FileException{errno, path_};
  return static_cast<uint64_t>(position);
}

uint64_t File::GetLength() const {
  if (fd_ < 0) throw FileException{EBADF, path_};
  struct stat info;
  if (fstat(fd_, &info) != 0) throw FileException{errno, path_};
  return static_cast<uint64_t>(info.st_size);
}

void File::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  // Delayed write errors (a full disk on some file systems) show up here.
  if (close(fd) != 0 && errno != EINTR) throw FileException{errno, path_};
}

void File::Abort() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
}

unsigned LockPollStepMicros(unsigned waitedMicros, unsigned wholeMicros) {
  // A holder keeps the lock for a read and, at most, a file's replacement
  // (a millisecond or two): short pauses first, so that a waiter takes the
  // lock soon after it is let go; then 20 ms pauses for a long hold.
  constexpr unsigned kSteps[] = {100, 200, 500, 1000, 2000, 5000, 10000, 20000};
  if (waitedMicros >= wholeMicros) return 0;
  unsigned step = kSteps[sizeof(kSteps) / sizeof(kSteps[0]) - 1];
  unsigned sum = 0;
  for (unsigned s : kSteps) {
    if (waitedMicros <= sum) {
      step = s;
      break;
    }
    sum += s;
  }
  return step < wholeMicros - waitedMicros ? step : wholeMicros - waitedMicros;
}

bool File::LockExclusive(unsigned waitMilliseconds) {
  if (fd_ < 0) return false;
  // (<chrono> cannot be compiled for the program's code page.)
  constexpr unsigned kLongestMilliseconds = 4000000;  // its microseconds fit an unsigned
  const unsigned whole =
      (waitMilliseconds < kLongestMilliseconds ? waitMilliseconds : kLongestMilliseconds) * 1000;
  for (unsigned waited = 0;;) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    const unsigned step = LockPollStepMicros(waited, whole);
    if (step == 0) return false;
    usleep(step);
    waited += step;
  }
}

}  // namespace platform
