#include "trace/TraceSpools.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace taxlink {

namespace {

// A text spool's buffer goes to the shared file when it holds this much
// (a run has a couple of hundred spools: their buffers stay a few MiB).
constexpr std::size_t kChunk = 1 << 14;
// The buffer of a stream (in place, or records).
constexpr std::size_t kStreamBuffer = 1 << 18;

std::FILE* BufferedStream(int descriptor, const char* mode) {
  std::FILE* file = ::fdopen(descriptor, mode);
  if (file == nullptr) {
    ::close(descriptor);
    return nullptr;
  }
  // A buffer of its own size: glibc would take the file's block size.
  if (std::setvbuf(file, nullptr, _IOFBF, kStreamBuffer) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace

TraceSpools::~TraceSpools() {
  for (auto& [key, spool] : spools_) {
    if (spool.file != nullptr) std::fclose(spool.file);
  }
  if (shared_ >= 0) ::close(shared_);
}

int TraceSpools::NewFile(std::string* error) const {
  std::string pattern = temporaryFolder_ + "/taxlink-trace-XXXXXX";
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error != nullptr) *error = "cannot make a file for the trace in " + temporaryFolder_;
    return -1;
  }
  ::unlink(pattern.c_str());
  return fd;
}

bool TraceSpools::Open(std::string* error) {
  const char* temp = std::getenv("TAXLINK_TEMP");
  if (temp == nullptr || *temp == '\0') temp = std::getenv("TMPDIR");
  if (temp == nullptr || *temp == '\0') temp = "/tmp";
  temporaryFolder_ = temp;
  shared_ = NewFile(error);
  return shared_ >= 0;
}

bool TraceSpools::WriteInPlace(uint64_t key, int descriptor) {
  Spool& spool = spools_[key];
  const int copy = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  if (copy >= 0 && spool.file == nullptr && spool.count == 0) {
    spool.file = BufferedStream(copy, "wb");
  } else if (copy >= 0) {
    ::close(copy);
  }
  return spool.file != nullptr;
}

TraceSpools::Spool* TraceSpools::Get(uint64_t key) {
  if (shared_ < 0) return nullptr;
  return &spools_[key];
}

bool TraceSpools::WriteChunk(Spool* spool) {
  const char* data = spool->buffer.data();
  std::size_t left = spool->buffer.size();
  const uint64_t offset = sharedSize_;
  while (left > 0) {
    const ssize_t wrote = ::write(shared_, data, left);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      failed_ = true;
      return false;
    }
    data += wrote;
    left -= static_cast<std::size_t>(wrote);
  }
  sharedSize_ += spool->buffer.size();
  spool->chunks.push_back({offset, spool->buffer.size()});
  spool->buffer.clear();
  return true;
}

bool TraceSpools::Append(Spool* spool, std::string_view entry, int64_t amount) {
  if (spool == nullptr || spool->records) return false;
  const std::string_view separator = spool->count > 0 ? ",\n" : "\n";
  if (spool->file != nullptr) {
    // One writer per stream: the unlocked calls spare a lock per entry.
    if (fwrite_unlocked(separator.data(), 1, separator.size(), spool->file) != separator.size() ||
        fwrite_unlocked(entry.data(), 1, entry.size(), spool->file) != entry.size()) {
      failed_ = true;
      return false;
    }
  } else {
    if (spool->buffer.capacity() < kChunk) spool->buffer.reserve(kChunk + 256);
    spool->buffer += separator;
    spool->buffer += entry;
    if (spool->buffer.size() >= kChunk && !WriteChunk(spool)) return false;
  }
  ++spool->count;
  spool->bytes += separator.size() + entry.size();
  if (__builtin_add_overflow(spool->sum, amount, &spool->sum)) spool->overflow = true;
  return true;
}

bool TraceSpools::AppendRecord(uint64_t key, const void* record, std::size_t size) {
  Spool& spool = spools_[key];
  if (spool.file == nullptr) {
    const int fd = spool.count == 0 ? NewFile(nullptr) : -1;
    spool.file = fd >= 0 ? BufferedStream(fd, "w+b") : nullptr;
    spool.records = spool.file != nullptr;
  }
  if (!spool.records || fwrite_unlocked(record, 1, size, spool.file) != size) {
    failed_ = true;
    return false;
  }
  ++spool.count;
  spool.bytes += size;
  return true;
}

bool TraceSpools::Clear(uint64_t key) {
  auto it = spools_.find(key);
  if (it == spools_.end()) return true;
  Spool& spool = it->second;
  // Only a text spool in the shared file is ever replaced; its chunks stay
  // in the file, unnamed.
  if (spool.file != nullptr) {
    failed_ = true;
    return false;
  }
  spool.chunks.clear();
  spool.buffer.clear();
  spool.count = 0;
  spool.bytes = 0;
  spool.sum = 0;
  spool.overflow = false;
  return true;
}

const TraceSpools::Spool* TraceSpools::Find(uint64_t key) const {
  auto it = spools_.find(key);
  return it != spools_.end() ? &it->second : nullptr;
}

std::FILE* TraceSpools::Rewind(const Spool& spool) const {
  if (!spool.records || std::fflush(spool.file) != 0 || std::fseek(spool.file, 0, SEEK_SET) != 0) {
    return nullptr;
  }
  return spool.file;
}

bool TraceSpools::CopyInto(const Spool& spool, platform::File* out) const {
  if (spool.file != nullptr || shared_ < 0) return false;
  for (const Spool::Chunk& chunk : spool.chunks) out->WriteFrom(shared_, chunk.offset, chunk.size);
  out->Write(spool.buffer.data(), spool.buffer.size());
  return true;
}

bool TraceSpools::Flush(const Spool& spool) const {
  return spool.file != nullptr && !spool.records && std::fflush(spool.file) == 0;
}

}  // namespace taxlink
