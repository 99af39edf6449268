#ifndef TAXLINK_TRACE_TRACEHANDOFF_H_
#define TAXLINK_TRACE_TRACEHANDOFF_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace taxlink {

// Hands blocks of bytes from the thread that makes them to a thread of its
// own that takes them, in order. The blocks are a fixed few, reused: when
// all are full the maker waits for the taker, so memory stays flat however
// much goes through.
class TraceHandoff {
 public:
  // take(data, size) runs on the handoff's thread for each block in turn.
  explicit TraceHandoff(std::function<void(const char*, std::size_t)> take);
  ~TraceHandoff();
  TraceHandoff(const TraceHandoff&) = delete;
  TraceHandoff& operator=(const TraceHandoff&) = delete;

  // Starts the thread; false when it cannot be started.
  bool Start();
  // Room for bytes more at the end of the current block (a new block when
  // it is full), to be counted by Commit.
  char* Reserve(std::size_t bytes) {
    if (size_ + bytes > current_->capacity) MakeRoom(bytes);
    return current_->bytes.get() + size_;
  }
  void Commit(std::size_t bytes) { size_ += bytes; }
  // Hands the last block over and waits until the thread took every block
  // and ended. Nothing may be reserved after.
  void Finish();

 private:
  void Hand();  // the current block to the thread, a free one in its place
  void MakeRoom(std::size_t bytes);  // for Reserve, when the block is full
  void Run();

  std::function<void(const char*, std::size_t)> take_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  struct Block {
    std::unique_ptr<char[]> bytes;  // not cleared: written before read
    std::size_t capacity = 0;
    std::size_t size = 0;
  };
  std::vector<Block> blocks_;
  std::deque<Block*> full_;  // handed over, in order
  std::deque<Block*> free_;
  bool done_ = false;
  // The maker's block.
  Block* current_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACEHANDOFF_H_
