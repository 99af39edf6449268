#ifndef TAXLINK_MVHOST_SETKAMOKU_H_
#define TAXLINK_MVHOST_SETKAMOKU_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/ClSetKamoku.h"
#include "mvhost/lib/CursorTable.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/LinePredicate.h"
#include "mvhost/lib/RecordText.h"

namespace mvhost {

// The chart of accounts (table account), walked by account id; WalkFind
// takes filters on the account class (field 16). The first WalkFind of a
// cursor reads every account the filter matches in one query and the next
// calls with the same filter hand them out in turn: the aggregation walks a
// list once per account class group, and a query per account made the walk
// cost a read transaction per account. The accounts kept on the connection
// (KeptAccounts) are walked through the filter compiled in C++ when they
// serve; else the filter's SQL reads them.
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
  // An account as the store holds it; a text Shift_JIS lacks fails the call
  // that hands it out only.
  struct AccountRow {
    int32_t accountId = 0;
    ConvertedText code;
    ConvertedText name;
    uint8_t excluded = 0;
    uint8_t balanceSide = 0;
    uint32_t classCode = 0;
  };
  // The accounts a cursor's filter matched, from its position on.
  struct Walk {
    std::string filterKey;  // FilterKey of the filter sql was made from
    bool keyed = false;
    std::string sql;
    std::vector<int64_t> values;
    LinePredicate predicate;  // the same filter, for the accounts kept on the connection
    int32_t dataNo = 0;
    std::vector<AccountRow> rows;
    size_t next = 0;
  };

  int32_t Fill(int64_t after, Walk* walk);

  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
  CursorTable cursors_;
  std::map<int32_t, Walk> walks_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETKAMOKU_H_
