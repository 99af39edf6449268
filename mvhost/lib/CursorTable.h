#ifndef TAXLINK_MVHOST_CURSORTABLE_H_
#define TAXLINK_MVHOST_CURSORTABLE_H_

#include <cstdint>
#include <map>

#include "mvhost/lib/HostCodes.h"

namespace mvhost {

// The cursors of a set object: each a 32-bit handle with the key of the
// last row it returned (walks continue after that key).
class CursorTable {
 public:
  struct Cursor {
    bool ready = false;
    int64_t lastKey = 0;
    bool started = false;
  };

  int32_t Open(int32_t* handle) {
    if (handle == nullptr) return kErrBadArgument;
    *handle = next_++;
    cursors_[*handle] = Cursor();
    return 0;
  }
  int32_t Ready(int32_t handle) {
    auto it = cursors_.find(handle);
    if (it == cursors_.end()) return kErrUnknownCursor;
    it->second = Cursor();
    it->second.ready = true;
    return 0;
  }
  // The ready cursor of a handle, or null with the status.
  Cursor* Find(int32_t handle, int32_t* status) {
    auto it = cursors_.find(handle);
    if (it == cursors_.end()) {
      *status = kErrUnknownCursor;
      return nullptr;
    }
    if (!it->second.ready) {
      *status = kErrNotReady;
      return nullptr;
    }
    *status = 0;
    return &it->second;
  }
  bool Exists(int32_t handle) const { return cursors_.count(handle) != 0; }
  void Release(int32_t handle) { cursors_.erase(handle); }

 private:
  std::map<int32_t, Cursor> cursors_;
  int32_t next_ = 1;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CURSORTABLE_H_
