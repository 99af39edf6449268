#include "mvhost/cli/WholeFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/winfs/File.h"

namespace mvhost {

namespace {

// Pieces handed to one writev call (IOV_MAX is at least this).
constexpr size_t kMaxVectors = 512;

// Writes `left` bytes from the vectors, resuming after short writes.
bool WriteAll(int fd, std::vector<iovec>& vectors, size_t left) {
  size_t first = 0;
  while (left > 0) {
    const ssize_t n =
        ::writev(fd, vectors.data() + first, static_cast<int>(vectors.size() - first));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    auto done = static_cast<size_t>(n);
    left -= done;
    while (first < vectors.size() && done >= vectors[first].iov_len) {
      done -= vectors[first].iov_len;
      ++first;
    }
    if (done > 0) {
      vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + done;
      vectors[first].iov_len -= done;
    }
  }
  return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
  return WriteWholeFile(path, std::vector<std::string_view>{bytes}, error);
}

bool WriteWholeFile(const std::string& path, const std::vector<std::string_view>& pieces,
                    std::string* error) {
  const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool written = fd >= 0;
  std::vector<iovec> vectors;
  vectors.reserve(std::min<size_t>(pieces.size(), kMaxVectors));
  for (size_t at = 0; written && at < pieces.size();) {
    vectors.clear();
    size_t left = 0;
    for (; at < pieces.size() && vectors.size() < kMaxVectors; ++at) {
      if (pieces[at].empty()) continue;
      vectors.push_back({const_cast<char*>(pieces[at].data()), pieces[at].size()});
      left += pieces[at].size();
    }
    written = WriteAll(fd, vectors, left);
  }
  if (fd >= 0 && ::close(fd) != 0) written = false;
  if (!written) {
    *error = "cannot write " + temporary;
    ::unlink(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot replace " + path + ": " + std::strerror(errno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

int MemoryFile(const char* name) { return ::memfd_create(name, MFD_CLOEXEC); }

std::string ReadWholeDescriptor(int fd) {
  std::string bytes;
  char buffer[16384];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
    at += n;
  }
  return bytes;
}

bool WriteWholeDescriptor(int fd, std::string_view bytes) {
  return platform::WriteFully(fd, bytes.data(), bytes.size()) == 0;
}

std::string MakePrivateFolder(const char* prefix, std::string* reason) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + prefix +
                        "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    *reason = std::strerror(errno);
    return "";
  }
  return pattern;
}

}  // namespace mvhost
