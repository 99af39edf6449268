#ifndef TAXLINK_MVHOST_SETDATA_H_
#define TAXLINK_MVHOST_SETDATA_H_

#include <sqlite3.h>

#include <cstdint>

#include "host/ClSetData.h"
#include "mvhost/lib/CursorTable.h"
#include "mvhost/lib/HostSession.h"

namespace mvhost {

// The company data sets of the store (table data_set), walked by data_no.
class SetData : public ClSetData {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override;
  int32_t SetCurDataID(const char* dataId) override;
  int32_t GetDatCursor(int32_t* cursor) override;
  int32_t ReadyDat(int32_t cursor, int32_t mode) override;
  int32_t WalkDat(StDATAINFO* out, int32_t cursor) override;
  void ReleaseDatCursor(int32_t cursor) override;
  int32_t GetSelectedInfo(StDATAINFO* out) override;
  // A period object for the set's data set (the selected one unless
  // SetCurDataID named another), with the closing day its end implies.
  int32_t GetAccPeriod(ClAccPeriod** period) override;

  // Reads data set dataNo into out; kHostEndOfData when there is none.
  static int32_t ReadDataInfo(sqlite3* db, int32_t dataNo, StDATAINFO* out);

  // Forgets the data set SetCurDataID named (back to the user's selection).
  void Unbind() { binding_ = DataBinding(); }

 private:
  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
  CursorTable cursors_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETDATA_H_
