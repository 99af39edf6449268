#include "mvhost/cli/ReportArrival.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace mvhost {

ReportArrival::~ReportArrival() {
  if (fd_ >= 0) ::close(fd_);
}

bool ReportArrival::Watch(const std::string& path) {
  arrived_ = false;
  name_.clear();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size()) return false;
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  if (fd_ < 0) fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return false;
  if (folder != folder_) {
    if (watch_ >= 0) ::inotify_rm_watch(fd_, watch_);
    folder_.clear();
    // Only a rename into the folder: a file written in place may be read
    // before it is whole.
    watch_ = ::inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
    if (watch_ < 0) return false;
    folder_ = folder;
  }
  Read(true);  // renames before this one's run
  name_ = path.substr(slash + 1);
  return true;
}

bool ReportArrival::Arrived() {
  Read(false);
  return arrived_;
}

void ReportArrival::Read(bool forget) {
  if (fd_ < 0) return;
  alignas(inotify_event) char buffer[4096];
  while (true) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nothing more now (EAGAIN)
    for (ssize_t at = 0; !forget && at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      // The name ends with a NUL within its length.
      if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0 && !name_.empty() &&
          name_ == event->name) {
        arrived_ = true;
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

}  // namespace mvhost
