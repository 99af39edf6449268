#include "mvhost/lib/SetKamoku.h"

#include <climits>
#include <cstring>

#include "host/HostStatus.h"
#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t SetKamoku::AttachSetMgr(ClSetMgr* setMgr) {
  MVHOST_FAULT_POINT("ClSetKamoku::AttachSetMgr");
  setMgr_ = setMgr;
  return 0;
}

int32_t SetKamoku::SetCurDataID(const char* dataId) {
  MVHOST_FAULT_POINT("ClSetKamoku::SetCurDataID");
  return binding_.Bind(dataId);
}

int32_t SetKamoku::GetCursor(int32_t* cursor) {
  MVHOST_FAULT_POINT("ClSetKamoku::GetCursor");
  return cursors_.Open(cursor);
}

int32_t SetKamoku::ReadyCursor(int32_t cursor) {
  MVHOST_FAULT_POINT("ClSetKamoku::ReadyCursor");
  return cursors_.Ready(cursor);
}

int32_t SetKamoku::WalkFind(const StFINDINFO* filter, StKAMOKUINFO* out, int32_t cursor) {
  MVHOST_FAULT_POINT("ClSetKamoku::WalkFind");
  if (out == nullptr) return kErrBadArgument;
  int32_t status = 0;
  CursorTable::Cursor* position = cursors_.Find(cursor, &status);
  if (position == nullptr) return status;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  status = binding_.Resolve(&db, &dataNo);
  if (status != 0) return status;
  SqlFilter where;
  status = TranslateFilter(filter, FilterTarget::kAccount, &where);
  if (status != 0) return status;
  SqlStatement stmt;
  status = stmt.Prepare(db,
                        "SELECT a.account_id, a.code, a.name, a.excluded, a.balance_side, "
                        "a.class_code FROM account a WHERE a.data_no = ? AND a.account_id > ? "
                        "AND " + where.sql + " ORDER BY a.account_id LIMIT 1", "walk the accounts");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindInt(2, position->started ? position->lastKey : INT64_MIN);
  stmt.BindAll(3, where.values);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  std::memset(out, 0, sizeof(*out));
  out->accountId = static_cast<int32_t>(stmt.Int(0));
  position->started = true;
  position->lastKey = out->accountId;
  const bool code = CopyRecordText(out->code, sizeof(out->code), stmt.Text(1));
  if (!code || !CopyRecordText(out->name, sizeof(out->name), stmt.Text(2))) {
    return StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                          std::to_string(out->accountId) + (code ? " name" : " code"));
  }
  out->excluded = static_cast<uint8_t>(stmt.Int(3));
  out->balanceSide = static_cast<uint8_t>(stmt.Int(4));
  out->classCode = static_cast<uint32_t>(stmt.Int(5));
  return 0;
}

void SetKamoku::ReleaseCursor(int32_t cursor) { cursors_.Release(cursor); }

}  // namespace mvhost
