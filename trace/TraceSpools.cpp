#include "trace/TraceSpools.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/winfs/File.h"

namespace taxlink {

namespace {

// Written in place, every this many bytes have their write to disk started,
// so that the trace's flush to disk at the end waits for little more than
// what came last.
constexpr uint64_t kWriteBackStep = 1 << 22;

}  // namespace

TraceSpools::~TraceSpools() {
  for (auto& [key, spool] : spools_) {
    if (spool.inPlace >= 0) ::close(spool.inPlace);
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
  if (spool.inPlace >= 0 || spool.count > 0) return false;
  spool.inPlace = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  return spool.inPlace >= 0;
}

TraceSpools::Spool* TraceSpools::Get(uint64_t key) {
  if (shared_ < 0) return nullptr;
  return &spools_[key];
}

void TraceSpools::Reserve(Spool* spool, std::size_t bytes) {
  // A buffer holds a chunk and the entry that fills it.
  const std::size_t chunk = spool->inPlace >= 0 ? kInPlaceChunk : kChunk;
  const std::size_t capacity = std::max(spool->size + bytes, chunk + 4096);
  auto grown = std::make_unique<char[]>(capacity);
  if (spool->size > 0) std::memcpy(grown.get(), spool->buffer.get(), spool->size);
  spool->buffer = std::move(grown);
  spool->capacity = capacity;
}

bool TraceSpools::WriteOut(Spool* spool) {
  const std::size_t size = spool->size;
  const bool inPlace = spool->inPlace >= 0;
  if (platform::WriteFully(inPlace ? spool->inPlace : shared_, spool->buffer.get(), size) != 0) {
    failed_ = true;
    return false;
  }
  if (!inPlace) {
    spool->chunks.push_back({sharedSize_, size});
    sharedSize_ += size;
  } else if ((inPlaceWritten_ += size) >= kWriteBackStep) {
    platform::StartFileWriteBack(spool->inPlace);
    inPlaceWritten_ = 0;
  }
  spool->size = 0;
  return true;
}

bool TraceSpools::EndChunk(Spool* spool) {
  if (!WriteOut(spool)) {
    // The spool is lost: what it buffers goes, so that a caller going on
    // does not grow the buffer.
    spool->size = 0;
    spool->buffered = 0;
    return false;
  }
  spool->buffered = spool->size;
  return true;
}

bool TraceSpools::Clear(uint64_t key) {
  auto it = spools_.find(key);
  if (it == spools_.end()) return true;
  Spool& spool = it->second;
  // Only a figure's spool is ever replaced; its chunks stay in the shared
  // file, unnamed.
  if (spool.inPlace >= 0) {
    failed_ = true;
    return false;
  }
  spool.chunks.clear();
  spool.size = 0;
  spool.buffered = 0;
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

bool TraceSpools::ReadChunk(const Spool::Chunk& chunk, char* into) const {
  for (uint64_t done = 0; done < chunk.size;) {
    const ssize_t got = ::pread(shared_, into + done, chunk.size - done,
                                static_cast<off_t>(chunk.offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<uint64_t>(got);
  }
  return true;
}

TraceSpools::EntryReader::EntryReader(const TraceSpools& spools, const Spool& spool)
    : spools_(spools), spool_(spool), chunks_(spool.chunks.size()), buffered_(spool.buffered) {}

bool TraceSpools::EntryReader::Load() {
  text_.clear();
  at_ = 0;
  if (chunk_ < chunks_) {
    const Spool::Chunk& chunk = spool_.chunks[chunk_++];
    text_.resize(chunk.size);
    if (spools_.shared_ < 0 || ::pread(spools_.shared_, text_.data(), chunk.size,
                                       static_cast<off_t>(chunk.offset)) !=
                                   static_cast<ssize_t>(chunk.size)) {
      failed_ = true;
      return false;
    }
    return true;
  }
  if (bufferRead_ || buffered_ == 0) return false;
  bufferRead_ = true;
  text_.assign(spool_.buffer.get(), buffered_);
  return true;
}

bool TraceSpools::EntryReader::Next(std::string_view* entry) {
  // Each entry is ",\n" (the first "\n") and one JSON array: a chunk ends
  // with an entry.
  while (at_ < text_.size() && (text_[at_] == ',' || text_[at_] == '\n')) ++at_;
  while (at_ == text_.size()) {
    if (!Load()) return false;
    while (at_ < text_.size() && (text_[at_] == ',' || text_[at_] == '\n')) ++at_;
  }
  const std::size_t end = text_.find(']', at_);
  if (end == std::string::npos) {
    failed_ = true;
    return false;
  }
  *entry = std::string_view(text_).substr(at_, end + 1 - at_);
  at_ = end + 1;
  return true;
}

bool TraceSpools::FlushInPlace(uint64_t key) {
  auto it = spools_.find(key);
  if (it == spools_.end() || it->second.inPlace < 0) return false;
  Spool& spool = it->second;
  const bool written = spool.size == 0 || WriteOut(&spool);
  spool.buffered = 0;
  return written;
}

}  // namespace taxlink
