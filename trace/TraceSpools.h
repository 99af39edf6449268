#ifndef TAXLINK_TRACE_TRACESPOOLS_H_
#define TAXLINK_TRACE_TRACESPOOLS_H_

#include <cstdint>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace taxlink {

// The contributions of a run kept on disk until the trace is written, one
// spool file per figure of the run (a key of TraceKeys.h), so that a run of
// any number of lines keeps only a buffer per figure in memory. Each entry
// is the JSON text of one contribution preceded by a comma. Each spool has
// a buffer of its own (256 KiB), so memory grows with the figures, never
// with the lines.
class TraceSpools {
 public:
  struct Spool {
    std::FILE* file = nullptr;
    uint64_t count = 0;
    int64_t sum = 0;        // the plain sum of the amounts (raw)
    bool overflow = false;  // the sum went beyond 64 bits
  };

  TraceSpools() = default;
  ~TraceSpools();
  TraceSpools(const TraceSpools&) = delete;
  TraceSpools& operator=(const TraceSpools&) = delete;

  // Creates the folder of the spools under the temporary folder
  // (TAXLINK_TEMP, TMPDIR or /tmp); false with the cause.
  bool Open(std::string* error);

  // Appends an entry of amount to the spool of key; false when the disk
  // refused it (the spools are then unusable: failed() says so).
  bool Append(uint64_t key, std::string_view json, int64_t amount);
  // Empties the spool of key (a figure that replaces what it held).
  bool Clear(uint64_t key);

  // The spool of key, or null when nothing was added to it.
  const Spool* Find(uint64_t key) const;
  // Calls copy(chunk) with the entries of key (the first comma left out).
  template <class Copy>
  bool ForEachChunk(uint64_t key, Copy copy) const;

  bool failed() const { return failed_; }

 private:
  Spool* Get(uint64_t key);

  std::string folder_;
  std::unordered_map<uint64_t, Spool> spools_;
  bool failed_ = false;
};

template <class Copy>
bool TraceSpools::ForEachChunk(uint64_t key, Copy copy) const {
  const Spool* spool = Find(key);
  if (spool == nullptr) return true;
  if (std::fflush(spool->file) != 0 || std::fseek(spool->file, 1, SEEK_SET) != 0) return false;
  std::vector<char> buffer(1 << 20);
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), spool->file)) > 0) {
    if (!copy(std::string_view(buffer.data(), read))) return false;
  }
  const bool ok = std::ferror(spool->file) == 0;
  std::fseek(spool->file, 0, SEEK_END);
  return ok;
}

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACESPOOLS_H_
