#ifndef TAXLINK_TRACE_TRACESPOOLS_H_
#define TAXLINK_TRACE_TRACESPOOLS_H_

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>


namespace taxlink {

// The contributions of a run kept until the trace is written, one spool
// per figure of the run (a key of TraceKeys.h), so that a run of any number
// of lines keeps only a small buffer per spool in memory: memory grows with
// the figures, never with the lines. A spool holds the trace's text, each
// entry on a line of its own and separated by commas, so that the trace is
// put together by copying the spools whole.
//
// The text spools share one unlinked file in the temporary folder: a
// spool's buffer goes there as a chunk when it fills (one file for all, as
// making and dropping a file per figure cost more than the chunks' writes).
// A spool may instead write straight into another file (in place: the
// trace's own line table).
class TraceSpools {
 public:
  struct Spool {
    uint64_t count = 0;
    uint64_t bytes = 0;     // the size of its text
    int64_t sum = 0;        // the plain sum of the amounts (raw)
    bool overflow = false;  // the sum went beyond 64 bits

   private:
    friend class TraceSpools;
    std::unique_ptr<char[]> buffer;  // entries not yet written out
    std::size_t capacity = 0;
    std::size_t size = 0;      // of the text in buffer
    std::size_t buffered = 0;  // its size after the last entry counted
    struct Chunk {
      uint64_t offset, size;
    };
    std::vector<Chunk> chunks;     // in the shared file, in order
    int inPlace = -1;              // written out to this descriptor instead
  };

  TraceSpools() = default;
  ~TraceSpools();
  TraceSpools(const TraceSpools&) = delete;
  TraceSpools& operator=(const TraceSpools&) = delete;

  // Creates the shared file in the temporary folder (TAXLINK_TEMP, TMPDIR
  // or /tmp), unlinked at once so that nothing is left behind however the
  // run ends; false with the cause.
  bool Open(std::string* error);
  // Makes the spool of key write its entries straight to descriptor (a copy
  // of it, at the position it shares), buffered; false when it cannot.
  bool WriteInPlace(uint64_t key, int descriptor);

  // The spool of key, made on first use; null when it cannot be made. The
  // pointer stays valid as long as the spools.
  Spool* Get(uint64_t key);
  // Appends one entry of amount (its text) to spool, after a separator from
  // the one before; false when the disk refused it (failed() then says so).
  bool Append(Spool* spool, std::string_view entry, int64_t amount) {
    char* at = StartEntry(spool, entry.size());
    if (!entry.empty()) std::memcpy(at, entry.data(), entry.size());
    return EndEntry(spool, at + entry.size(), amount);
  }
  // The same in two steps, the text made straight in the spool's buffer:
  // StartEntry adds the separator and gives where the entry's text of at
  // most most bytes goes, EndEntry takes its end and counts it.
  char* StartEntry(Spool* spool, std::size_t most) {
    if (spool->size + most + 2 > spool->capacity) Reserve(spool, most + 2);
    char* at = spool->buffer.get() + spool->size;
    if (spool->count > 0) *at++ = ',';
    *at++ = '\n';
    return at;
  }
  bool EndEntry(Spool* spool, const char* end, int64_t amount) {
    spool->size = static_cast<std::size_t>(end - spool->buffer.get());
    ++spool->count;
    spool->bytes += spool->size - spool->buffered;
    if (__builtin_add_overflow(spool->sum, amount, &spool->sum)) spool->overflow = true;
    if (spool->size >= (spool->inPlace >= 0 ? kInPlaceChunk : kChunk)) return EndChunk(spool);
    spool->buffered = spool->size;
    return true;
  }
  // Empties the spool of key (a figure that replaces what it held).
  bool Clear(uint64_t key);

  // The spool of key, or null when nothing was added to it.
  const Spool* Find(uint64_t key) const;
  // Reads the entries of a figure's spool back, in order: the chunks from
  // the shared file, then the buffer. The spool may grow meanwhile; what
  // it held when the reader was made is read.
  class EntryReader {
   public:
    EntryReader(const TraceSpools& spools, const Spool& spool);
    // The next entry's text, without its separator; false at the end, or
    // when a chunk cannot be read (failed()).
    bool Next(std::string_view* entry);
    bool failed() const { return failed_; }

   private:
    bool Load();  // the next chunk or the buffer into text_
    const TraceSpools& spools_;
    const Spool& spool_;
    std::size_t chunks_;   // of the spool when the reader was made
    std::size_t chunk_ = 0;
    std::size_t buffered_;  // the buffer's entries when made
    bool bufferRead_ = false;
    std::string text_;
    std::size_t at_ = 0;
    bool failed_ = false;
  };

  // The text of a figure's spool, in order: for each piece (a chunk of the
  // shared file, then what the buffer holds) room(size) gives where its
  // bytes go. False when the spool is not a figure's or a chunk cannot be
  // read.
  template <class Room>
  bool ReadText(const Spool& spool, Room&& room) const {
    if (spool.inPlace >= 0 || shared_ < 0) return false;
    for (const Spool::Chunk& chunk : spool.chunks) {
      if (!ReadChunk(chunk, room(chunk.size))) return false;
    }
    if (spool.size > 0) std::memcpy(room(spool.size), spool.buffer.get(), spool.size);
    return true;
  }
  // Writes out what the spool in place of key still buffers; false when it
  // cannot.
  bool FlushInPlace(uint64_t key);

  bool failed() const { return failed_.load(std::memory_order_relaxed); }

 private:
  // A spool's buffer is written out when it holds this much: a figure's
  // into the shared file (a run has a couple of hundred spools, their
  // buffers stay a few MiB), the line table's in place.
  static constexpr std::size_t kChunk = 1 << 14;
  static constexpr std::size_t kInPlaceChunk = 1 << 18;

  // Makes room for bytes more in a spool's buffer.
  static void Reserve(Spool* spool, std::size_t bytes);
  // Writes out a full buffer at the end of an entry; false, the buffer
  // dropped, when it cannot be.
  bool EndChunk(Spool* spool);
  // Writes out a spool's buffer: in place, or into the shared file as its
  // next chunk.
  bool WriteOut(Spool* spool);
  // Reads a chunk of the shared file into into; false when it cannot.
  bool ReadChunk(const Spool::Chunk& chunk, char* into) const;
  // A new unlinked file in the temporary folder, -1 when it cannot be made.
  int NewFile(std::string* error) const;

  std::string temporaryFolder_;
  int shared_ = -1;
  uint64_t sharedSize_ = 0;
  uint64_t inPlaceWritten_ = 0;  // since the last start of a write-back
  std::unordered_map<uint64_t, Spool> spools_;
  // Set on the recorder's thread, read on the run's.
  std::atomic<bool> failed_{false};
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACESPOOLS_H_
