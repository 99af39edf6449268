#ifndef TAXLINK_MVHOST_KEPTACCOUNTS_H_
#define TAXLINK_MVHOST_KEPTACCOUNTS_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/RecordText.h"

namespace mvhost {

// An account of a data set as the store holds it, its texts converted to
// Shift_JIS once (each is handed out by several services).
struct KeptAccount {
  int32_t accountId = 0;
  std::string code;  // the stored text, for its order
  ConvertedText codeText;
  ConvertedText nameText;
  int64_t classCode = 0;
  int64_t excluded = 0;
  int64_t balanceSide = 0;
  int64_t refundFlag1 = 0;
  int64_t refundFlag2 = 0;
};

// The accounts of dataNo in account id order, read once per connection and
// kept while the store is as it was when they were read (StoreStamp): the
// account walk, the account sums and the tax per account each read them
// through SQL before (and they are kept beside the store with the derived data's
// check, CheckedSnapshot). Null when a row holds what these records cannot carry
// as SQL would compare it (an id that is no 32-bit integer, a code or name
// that is no text, a number that is no integer): the caller then reads SQL
// as before. 0, or a host failure of the reading.
int32_t KeptAccounts(sqlite3* db, int32_t dataNo, const std::vector<KeptAccount>** accounts);

// The connection is about to close: what was kept for it is forgotten.
void ForgetKeptAccounts(sqlite3* db);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_KEPTACCOUNTS_H_
