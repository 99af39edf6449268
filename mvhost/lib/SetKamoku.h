#ifndef TAXLINK_MVHOST_SETKAMOKU_H_
#define TAXLINK_MVHOST_SETKAMOKU_H_

#include <cstdint>

#include "host/ClSetKamoku.h"
#include "mvhost/lib/CursorTable.h"
#include "mvhost/lib/HostSession.h"

namespace mvhost {

// The chart of accounts (table account), walked by account id; WalkFind
// takes filters on the account class (field 16).
class SetKamoku : public ClSetKamoku {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override;
  int32_t SetCurDataID(const char* dataId) override;
  int32_t GetCursor(int32_t* cursor) override;
  int32_t ReadyCursor(int32_t cursor) override;
  int32_t WalkFind(const StFINDINFO* filter, StKAMOKUINFO* out, int32_t cursor) override;
  void ReleaseCursor(int32_t cursor) override;

  // Forgets the data set SetCurDataID named (back to the user's selection).
  void Unbind() { binding_ = DataBinding(); }

 private:
  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
  CursorTable cursors_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETKAMOKU_H_
