#include "trace/TraceSpools.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>

namespace taxlink {

namespace {

constexpr std::size_t kSpoolBuffer = 1 << 18;

}  // namespace

TraceSpools::~TraceSpools() {
  for (auto& [key, spool] : spools_) {
    if (spool.file != nullptr) std::fclose(spool.file);
  }
  if (!folder_.empty()) ::rmdir(folder_.c_str());
}

bool TraceSpools::Open(std::string* error) {
  const char* temp = std::getenv("TAXLINK_TEMP");
  if (temp == nullptr || *temp == '\0') temp = std::getenv("TMPDIR");
  if (temp == nullptr || *temp == '\0') temp = "/tmp";
  std::string pattern = std::string(temp) + "/taxlink-trace-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot make a folder for the trace in " + std::string(temp);
    return false;
  }
  folder_ = pattern;
  return true;
}

TraceSpools::Spool* TraceSpools::Get(uint64_t key) {
  auto [it, added] = spools_.try_emplace(key);
  if (added) {
    // Opened, then unlinked at once: the spool lives as long as its file
    // handle, and nothing is left behind however the run ends.
    const std::string path = folder_ + "/" + std::to_string(key);
    it->second.file = std::fopen(path.c_str(), "w+b");
    if (it->second.file == nullptr) {
      failed_ = true;
      return nullptr;
    }
    ::unlink(path.c_str());
    // Large buffers: a million-line run appends millions of small entries.
    std::setvbuf(it->second.file, nullptr, _IOFBF, kSpoolBuffer);
  }
  return it->second.file != nullptr ? &it->second : nullptr;
}

bool TraceSpools::Append(Spool* spool, const void* head, std::size_t headSize, const void* body,
                         std::size_t bodySize, int64_t amount) {
  if (spool == nullptr) return false;
  // One writer per spool: the unlocked calls spare a lock per entry.
  if (fwrite_unlocked(head, 1, headSize, spool->file) != headSize ||
      (bodySize > 0 && fwrite_unlocked(body, 1, bodySize, spool->file) != bodySize)) {
    failed_ = true;
    return false;
  }
  ++spool->count;
  if (__builtin_add_overflow(spool->sum, amount, &spool->sum)) spool->overflow = true;
  return true;
}

bool TraceSpools::Clear(uint64_t key) {
  Spool* spool = Get(key);
  if (spool == nullptr) return false;
  if (std::fflush(spool->file) != 0 || ::ftruncate(::fileno(spool->file), 0) != 0 ||
      std::fseek(spool->file, 0, SEEK_SET) != 0) {
    failed_ = true;
    return false;
  }
  spool->count = 0;
  spool->sum = 0;
  spool->overflow = false;
  return true;
}

const TraceSpools::Spool* TraceSpools::Find(uint64_t key) const {
  auto it = spools_.find(key);
  return it != spools_.end() && it->second.file != nullptr ? &it->second : nullptr;
}

std::FILE* TraceSpools::Rewind(const Spool& spool) const {
  if (std::fflush(spool.file) != 0 || std::fseek(spool.file, 0, SEEK_SET) != 0) return nullptr;
  return spool.file;
}

}  // namespace taxlink
