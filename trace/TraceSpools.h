#ifndef TAXLINK_TRACE_TRACESPOOLS_H_
#define TAXLINK_TRACE_TRACESPOOLS_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

namespace taxlink {

// The contributions of a run kept on disk until the trace is written, one
// spool file per figure of the run (a key of TraceKeys.h) and one for the
// line table, so that a run of any number of lines keeps only a buffer per
// spool in memory (256 KiB): memory grows with the figures, never with the
// lines. A figure's spool and the line table hold the trace's text, each
// entry on a line of its own and separated by commas, so that the trace is
// put together by copying the spools whole.
class TraceSpools {
 public:
  struct Spool {
    std::FILE* file = nullptr;
    uint64_t count = 0;
    uint64_t bytes = 0;     // the size of the file
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

  // The spool of key, made on first use; null when it cannot be made. The
  // pointer stays valid as long as the spools.
  Spool* Get(uint64_t key);
  // Appends one entry of amount (its text) to spool, after a separator from
  // the one before; false when the disk refused it (failed() then says so).
  bool Append(Spool* spool, std::string_view entry, int64_t amount);
  // Appends size bytes with no separator and no amount (a spool of records).
  bool AppendRecord(Spool* spool, const void* record, std::size_t size);
  // Empties the spool of key (a figure that replaces what it held).
  bool Clear(uint64_t key);

  // The spool of key, or null when nothing was added to it.
  const Spool* Find(uint64_t key) const;
  // The file of a spool rewound to its first entry, for reading; null when
  // it cannot be. Writing after reading is not supported.
  std::FILE* Rewind(const Spool& spool) const;
  // The descriptor of a spool's file with every entry written to it, for
  // copying its bytes (0 to bytes); -1 when it cannot be flushed.
  int Descriptor(const Spool& spool) const;

  bool failed() const { return failed_; }

 private:
  std::string folder_;
  std::unordered_map<uint64_t, Spool> spools_;
  bool failed_ = false;
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACESPOOLS_H_
