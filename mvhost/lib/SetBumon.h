#ifndef TAXLINK_MVHOST_SETBUMON_H_
#define TAXLINK_MVHOST_SETBUMON_H_

#include <sqlite3.h>

#include <cstdint>

#include "host/ClSetBumon.h"
#include "mvhost/lib/CursorTable.h"
#include "mvhost/lib/HostSession.h"

namespace mvhost {

// The departments (table department), walked by code.
class SetBumon : public ClSetBumon {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override;
  int32_t SetCurDataID(const char* dataId) override;
  // The number of departments; 0 when the data set cannot be read.
  int32_t GetBmnCount(int32_t flag) override;
  int32_t GetCursor(int32_t* cursor) override;
  int32_t ReadyCursor(int32_t cursor) override;
  int32_t Walk(StBUMONINFO* out, int32_t cursor) override;
  int32_t GetInfoByCode(int32_t cursor, int32_t code, StBUMONINFO* out) override;
  void ReleaseCursor(int32_t cursor) override;

  // Forgets the data set SetCurDataID named (back to the user's selection).
  void Unbind() { binding_ = DataBinding(); }

 private:
  int32_t ReadOne(const char* condition, int64_t key, StBUMONINFO* out);

  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
  CursorTable cursors_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETBUMON_H_
