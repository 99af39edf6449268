#ifndef TAXLINK_MVHOST_WALKMAPPING_H_
#define TAXLINK_MVHOST_WALKMAPPING_H_

#include <sqlite3.h>

#include <cstddef>

namespace mvhost {

// Reads a store that is not mapped (a large one, see HostStore) through a
// mapping of its file for the length of one walk over its packed lines (the
// trace's walk, see PackedLineReader::MapWhileWalking):
// SQLite then takes each page from the mapping instead of a read system
// call that copies it (a million-line walk read 88 MB in 21 600 reads).
// Mapped pages would count in the run's memory, so the walk releases them
// every kReleaseBytes it reads (a smaller window cost more in releases and
// page faults than the reads it saved); the file's pages stay in the
// system's cache.
// Each step is a no-op when the store cannot be mapped.
class WalkMapping {
 public:
  // The pages a walk may hold mapped before they are released.
  static constexpr std::size_t kReleaseBytes = std::size_t{1} << 20;

  WalkMapping() = default;
  ~WalkMapping() { End(); }
  WalkMapping(const WalkMapping&) = delete;
  WalkMapping& operator=(const WalkMapping&) = delete;

  // Maps db's main store for the walk, unless it is mapped already (a small
  // store stays as it is) or the file cannot be mapped.
  void Begin(sqlite3* db);
  // Counts bytes the walk read; releases the mapped pages every
  // kReleaseBytes.
  void Walked(std::size_t bytes) {
    if (file_ == nullptr) return;
    pending_ += bytes;
    if (pending_ >= kReleaseBytes) Release();
  }
  // Releases the pages and reads the store as before the walk. Call it once
  // the walk's statements are reset or finalized: SQLite unmaps the file only
  // when no page of the mapping is in use (otherwise it reads as before, the
  // mapping left until then). The connection must still be open.
  void End();

  // The walk reads through a mapping.
  bool mapped() const { return file_ != nullptr; }
  // How often the pages were released (tests).
  int releases() const { return releases_; }

 private:
  void Release();

  sqlite3* db_ = nullptr;  // set while the walk changed the store's mapping
  sqlite3_file* file_ = nullptr;
  sqlite3_int64 bytes_ = 0;  // the mapping's length
  std::size_t pending_ = 0;
  int releases_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_WALKMAPPING_H_
