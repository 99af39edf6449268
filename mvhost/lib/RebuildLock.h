#ifndef TAXLINK_MVHOST_REBUILDLOCK_H_
#define TAXLINK_MVHOST_REBUILDLOCK_H_

#include <cstdint>
#include <string>

namespace mvhost {

// Tells the processes on one store which of them rebuilds a data set's
// derived journal data: a lock on byte dataNo of the file "<store>-rebuild"
// beside the store (an open file description's lock, so that it goes with
// the process however it ends). The rebuild itself commits in short
// transactions; this lock is what the others wait for.
class RebuildLock {
 public:
  // The lock file of the store at storePath; a store without a file (in
  // memory) has none, and every operation then succeeds at once.
  explicit RebuildLock(const std::string& storePath);
  ~RebuildLock();
  RebuildLock(const RebuildLock&) = delete;
  RebuildLock& operator=(const RebuildLock&) = delete;

  // Takes the lock of dataNo without waiting; false when another process
  // holds it, or when this user cannot write the lock file.
  bool TryLock(int32_t dataNo);
  // Another process holds the lock of dataNo (it rebuilds).
  bool HeldElsewhere(int32_t dataNo) const;
  void Unlock(int32_t dataNo);

 private:
  int fd_ = -1;
  bool writable_ = false;
  bool none_ = false;  // no file: nothing to lock
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_REBUILDLOCK_H_
