#include "mvhost/lib/SetKamoku.h"
#include "mvhost/lib/ReadScope.h"

#include <climits>
#include <cstring>
#include <utility>

#include "host/HostStatus.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t SetKamoku::AttachSetMgr(ClSetMgr* setMgr) {
  setMgr_ = setMgr;
  return 0;
}

int32_t SetKamoku::SetCurDataID(const char* dataId) { return binding_.Bind(dataId); }

int32_t SetKamoku::GetCursor(int32_t* cursor) { return cursors_.Open(cursor); }

int32_t SetKamoku::ReadyCursor(int32_t cursor) {
  walks_.erase(cursor);
  return cursors_.Ready(cursor);
}

// Reads the accounts after id `after` that walk->sql matches, in id order.
int32_t SetKamoku::Fill(int64_t after, Walk* walk) {
  walk->rows.clear();
  walk->next = 0;
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t status = binding_.Resolve(&db, &walk->dataNo, &scope);
  if (status != 0) return status;
  const std::vector<KeptAccount>* kept = nullptr;
  status = KeptAccounts(db, walk->dataNo, &kept);
  if (status != 0) return status;
  if (kept != nullptr) {
    for (const KeptAccount& account : *kept) {
      if (account.accountId <= after || !walk->predicate.MatchesAccountClass(account.classCode)) {
        continue;
      }
      walk->rows.push_back({account.accountId, account.codeText, account.nameText,
                            static_cast<uint8_t>(account.excluded),
                            static_cast<uint8_t>(account.balanceSide),
                            static_cast<uint32_t>(account.classCode)});
    }
    return 0;
  }
  SqlStatement stmt;
  status = stmt.Prepare(db,
                        "SELECT a.account_id, a.code, a.name, a.excluded, a.balance_side, "
                        "a.class_code FROM account a WHERE a.data_no = ? AND a.account_id > ? "
                        "AND " +
                            walk->sql + " ORDER BY a.account_id",
                        "walk the accounts");
  if (status != 0) return status;
  stmt.BindInt(1, walk->dataNo);
  stmt.BindInt(2, after);
  stmt.BindAll(3, walk->values);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    walk->rows.push_back({static_cast<int32_t>(stmt.Int(0)), ConvertRecordText(stmt.Text(1)),
                          ConvertRecordText(stmt.Text(2)), static_cast<uint8_t>(stmt.Int(3)),
                          static_cast<uint8_t>(stmt.Int(4)), static_cast<uint32_t>(stmt.Int(5))});
  }
  if (step < 0) {
    walk->rows.clear();
    return step;
  }
  return 0;
}

int32_t SetKamoku::WalkFind(const StFINDINFO* filter, StKAMOKUINFO* out, int32_t cursor) {
  if (out == nullptr) return kErrBadArgument;
  int32_t status = 0;
  CursorTable::Cursor* position = cursors_.Find(cursor, &status);
  if (position == nullptr) return status;
  // The aggregation walks with the same filter call after call: it is
  // translated again only when its key changes (compared in place, so that
  // the usual call builds no key).
  Walk& walk = walks_[cursor];
  if (!position->started || !walk.keyed || !FilterHasKey(filter, walk.filterKey)) {
    std::string key;
    const bool keyed = FilterKey(filter, &key);
    SqlFilter where;
    status = TranslateFilter(filter, FilterTarget::kAccount, &where);
    if (status != 0) return status;
    status = walk.predicate.CompileForAccounts(filter);
    if (status != 0) return status;
    walk.filterKey = std::move(key);
    walk.keyed = keyed;
    if (!position->started || walk.sql != where.sql || walk.values != where.values) {
      walk.sql = std::move(where.sql);
      walk.values = std::move(where.values);
      status = Fill(position->started ? position->lastKey : INT64_MIN, &walk);
      if (status != 0) {
        walks_.erase(cursor);
        return status;
      }
    }
  }
  if (walk.next == walk.rows.size()) return kHostEndOfData;
  const AccountRow& row = walk.rows[walk.next++];
  std::memset(out, 0, sizeof(*out));
  out->accountId = row.accountId;
  position->started = true;
  position->lastKey = row.accountId;
  const bool code = CopyConvertedText(out->code, sizeof(out->code), row.code);
  if (!code || !CopyConvertedText(out->name, sizeof(out->name), row.name)) {
    return StoreTextError("data set " + std::to_string(walk.dataNo) + ": account " +
                          std::to_string(out->accountId) + (code ? " name" : " code"));
  }
  out->excluded = row.excluded;
  out->balanceSide = row.balanceSide;
  out->classCode = row.classCode;
  return 0;
}

void SetKamoku::ReleaseCursor(int32_t cursor) {
  walks_.erase(cursor);
  cursors_.Release(cursor);
}

}  // namespace mvhost
