#include "mvhost/cli/BatchSlot.h"

#include <unistd.h>

namespace mvhost {

namespace {

void Empty(int fd) {
  if (fd < 0) return;
  // The offset is shared with the worker, which writes at it.
  if (::ftruncate(fd, 0) != 0) return;
  ::lseek(fd, 0, SEEK_SET);
}

}  // namespace

BatchSlot::~BatchSlot() {
  worker.Finish();
  for (int fd : {window, resultFd, runLogFd}) {
    if (fd >= 0) ::close(fd);
  }
}

void BatchSlot::Clear() {
  Empty(resultFd);
  Empty(runLogFd);
}

void BatchSlot::Retire() {
  retired = true;
  worker.Finish();
}

}  // namespace mvhost
