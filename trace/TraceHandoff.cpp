#include "trace/TraceHandoff.h"

#include <system_error>
#include <utility>

namespace taxlink {

namespace {

// Eight blocks of 256 KiB: the taker formats and writes one while the maker
// fills the next, and a few more absorb uneven stretches.
constexpr std::size_t kBlocks = 8;
constexpr std::size_t kBlockSize = 1 << 18;

}  // namespace

TraceHandoff::TraceHandoff(std::function<void(const char*, std::size_t)> take)
    : take_(std::move(take)), blocks_(kBlocks) {}

TraceHandoff::~TraceHandoff() { Finish(); }

bool TraceHandoff::Start() {
  for (Block& block : blocks_) {
    block.bytes = std::make_unique_for_overwrite<char[]>(kBlockSize);
    block.capacity = kBlockSize;
    free_.push_back(&block);
  }
  current_ = free_.front();
  free_.pop_front();
  size_ = 0;
  try {
    thread_ = std::thread(&TraceHandoff::Run, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void TraceHandoff::MakeRoom(std::size_t bytes) {
  if (size_ > 0) Hand();
  // An entry larger than a block gets a block of its size.
  if (bytes > current_->capacity) {
    current_->bytes = std::make_unique_for_overwrite<char[]>(bytes);
    current_->capacity = bytes;
  }
}

void TraceHandoff::Hand() {
  current_->size = size_;
  std::unique_lock lock(mutex_);
  full_.push_back(current_);
  changed_.notify_all();
  changed_.wait(lock, [this] { return !free_.empty(); });
  current_ = free_.front();
  free_.pop_front();
  size_ = 0;
}

void TraceHandoff::Finish() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    current_->size = size_;
    if (size_ > 0) full_.push_back(current_);
    done_ = true;
  }
  changed_.notify_all();
  thread_.join();
  current_ = nullptr;
}

void TraceHandoff::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return done_ || !full_.empty(); });
    if (full_.empty()) return;  // done, and every block taken
    Block* block = full_.front();
    full_.pop_front();
    lock.unlock();
    take_(block->bytes.get(), block->size);
    lock.lock();
    free_.push_back(block);
    changed_.notify_all();
  }
}

}  // namespace taxlink
