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

bool TraceSpools::Append(Spool* spool, std::string_view entry, int64_t amount) {
  if (spool == nullptr) return false;
  const std::string_view separator = spool->count > 0 ? ",\n" : "\n";
  // One writer per spool: the unlocked calls spare a lock per entry.
  if (fwrite_unlocked(separator.data(), 1, separator.size(), spool->file) != separator.size() ||
      fwrite_unlocked(entry.data(), 1, entry.size(), spool->file) != entry.size()) {
    failed_ = true;
    return false;
  }
  ++spool->count;
  spool->bytes += separator.size() + entry.size();
  if (__builtin_add_overflow(spool->sum, amount, &spool->sum)) spool->overflow = true;
  return true;
}

bool TraceSpools::AppendRecord(Spool* spool, const void* record, std::size_t size) {
  if (spool == nullptr) return false;
  if (fwrite_unlocked(record, 1, size, spool->file) != size) {
    failed_ = true;
    return false;
  }
  ++spool->count;
  spool->bytes += size;
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
  spool->bytes = 0;
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

int TraceSpools::Descriptor(const Spool& spool) const {
  return std::fflush(spool.file) == 0 ? ::fileno(spool.file) : -1;
}

}  // namespace taxlink
