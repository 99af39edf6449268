#include "mvhost/lib/KeptAccounts.h"

#include <climits>
#include <map>
#include <utility>

#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

struct Kept {
  StoreStamp stamp;
  bool usable = false;  // false: a row the records cannot carry
  std::vector<KeptAccount> accounts;
};

using Key = std::pair<sqlite3*, int32_t>;

std::map<Key, Kept>& KeptByConnection() {
  static auto* kept = new std::map<Key, Kept>();
  return *kept;
}

// Reads every account of dataNo; *usable false when a row holds a value
// that SQL would compare otherwise than its kept form.
int32_t ReadAccounts(sqlite3* db, int32_t dataNo, std::vector<KeptAccount>* accounts,
                     bool* usable) {
  *usable = true;
  SqlStatement stmt;
  int32_t status =
      stmt.Prepare(db,
                   "SELECT account_id, code, name, class_code, excluded, balance_side, "
                   "refund_flag1, refund_flag2 FROM account WHERE data_no = ? ORDER BY account_id",
                   "read the accounts");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    bool integers = stmt.Type(1) == SQLITE_TEXT && stmt.Type(2) == SQLITE_TEXT;
    for (int column : {0, 3, 4, 5, 6, 7}) integers = integers && stmt.IsInteger(column);
    const int64_t id = integers ? stmt.Int(0) : 0;
    if (!integers || id < INT32_MIN || id > INT32_MAX) {
      *usable = false;
      accounts->clear();
      return 0;
    }
    accounts->push_back({static_cast<int32_t>(id), stmt.Text(1), ConvertRecordText(stmt.Text(1)),
                         ConvertRecordText(stmt.Text(2)), stmt.Int(3), stmt.Int(4), stmt.Int(5),
                         stmt.Int(6), stmt.Int(7)});
  }
  if (step < 0) accounts->clear();
  return step < 0 ? step : 0;
}

}  // namespace

int32_t KeptAccounts(sqlite3* db, int32_t dataNo, const std::vector<KeptAccount>** accounts) {
  *accounts = nullptr;
  StoreStamp stamp;
  int32_t status = ReadStoreStamp(db, &stamp);
  if (status != 0) return status;
  Kept& kept = KeptByConnection()[{db, dataNo}];
  if (!(kept.stamp == stamp)) {
    kept = Kept();
    // Those kept beside the store with the last sound check, while nothing
    // was written since; else read.
    bool found = false;
    ReadSnapshotAccounts(db, dataNo, &kept.accounts, &kept.usable, &found);
    if (!found) status = ReadAccounts(db, dataNo, &kept.accounts, &kept.usable);
    if (status != 0) {
      KeptByConnection().erase({db, dataNo});
      return status;
    }
    kept.stamp = stamp;
  }
  if (kept.usable) *accounts = &kept.accounts;
  return 0;
}

void ForgetKeptAccounts(sqlite3* db) {
  auto& kept = KeptByConnection();
  kept.erase(kept.lower_bound({db, INT32_MIN}), kept.upper_bound({db, INT32_MAX}));
}

}  // namespace mvhost
