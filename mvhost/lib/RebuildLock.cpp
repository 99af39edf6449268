#include "mvhost/lib/RebuildLock.h"

#include <fcntl.h>
#include <unistd.h>

namespace mvhost {

namespace {

struct flock ByteOf(int32_t dataNo, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = dataNo < 0 ? 0 : dataNo;
  range.l_len = 1;
  return range;
}

}  // namespace

RebuildLock::RebuildLock(const std::string& storePath) {
  if (storePath.empty()) {
    none_ = true;
    return;
  }
  const std::string path = storePath + "-rebuild";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  writable_ = fd_ >= 0;
  // A user who may only read the store can still see who rebuilds.
  if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

RebuildLock::~RebuildLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool RebuildLock::TryLock(int32_t dataNo) {
  if (none_) return true;
  if (!writable_) return false;
  struct flock range = ByteOf(dataNo, F_WRLCK);
  return ::fcntl(fd_, F_OFD_SETLK, &range) == 0;
}

bool RebuildLock::HeldElsewhere(int32_t dataNo) const {
  if (none_ || fd_ < 0) return false;
  struct flock range = ByteOf(dataNo, F_WRLCK);
  if (::fcntl(fd_, F_OFD_GETLK, &range) != 0) return false;
  return range.l_type != F_UNLCK;
}

void RebuildLock::Unlock(int32_t dataNo) {
  if (none_ || fd_ < 0) return;
  struct flock range = ByteOf(dataNo, F_UNLCK);
  ::fcntl(fd_, F_OFD_SETLK, &range);
}

}  // namespace mvhost
