#include "mvhost/lib/SetBumon.h"
#include "mvhost/lib/ReadScope.h"

#include <climits>
#include <cstring>
#include <string>

#include "host/HostStatus.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t SetBumon::AttachSetMgr(ClSetMgr* setMgr) {
  setMgr_ = setMgr;
  return 0;
}

int32_t SetBumon::SetCurDataID(const char* dataId) { return binding_.Bind(dataId); }

int32_t SetBumon::GetBmnCount(int32_t /*flag*/) {
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  int64_t count = 0;
  status = QueryInt(db, "count the departments",
                    "SELECT COUNT(*) FROM department WHERE data_no = ?", {dataNo}, &count);
  return status != 0 ? status : static_cast<int32_t>(count);
}

int32_t SetBumon::GetCursor(int32_t* cursor) { return cursors_.Open(cursor); }

int32_t SetBumon::ReadyCursor(int32_t cursor) { return cursors_.Ready(cursor); }

int32_t SetBumon::ReadOne(const char* condition, int64_t key, StBUMONINFO* out) {
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  SqlStatement stmt;
  status = stmt.Prepare(db,
                        std::string("SELECT code, parent_code, name, kind, income_kind "
                                    "FROM department WHERE data_no = ? AND ") +
                            condition + " ORDER BY code LIMIT 1",
                        "read the departments");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindInt(2, key);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  std::memset(out, 0, sizeof(*out));
  out->code = static_cast<int32_t>(stmt.Int(0));
  out->parentCode = static_cast<int32_t>(stmt.Int(1));
  if (!CopyRecordText(out->name, sizeof(out->name), stmt.Text(2))) {
    return StoreTextError("data set " + std::to_string(dataNo) + ": department " +
                          std::to_string(out->code) + " name");
  }
  out->kind = static_cast<uint8_t>(stmt.Int(3));
  out->incomeKind = static_cast<uint8_t>(stmt.Int(4));
  return 0;
}

int32_t SetBumon::Walk(StBUMONINFO* out, int32_t cursor) {
  if (out == nullptr) return kErrBadArgument;
  int32_t status = 0;
  CursorTable::Cursor* position = cursors_.Find(cursor, &status);
  if (position == nullptr) return status;
  StBUMONINFO record;
  status = ReadOne("code > ?", position->started ? position->lastKey : INT64_MIN, &record);
  if (status != 0) return status;
  std::memcpy(out, &record, sizeof(record));
  position->started = true;
  position->lastKey = record.code;
  return 0;
}

int32_t SetBumon::GetInfoByCode(int32_t cursor, int32_t code, StBUMONINFO* out) {
  if (out == nullptr) return kErrBadArgument;
  if (!cursors_.Exists(cursor)) return kErrUnknownCursor;
  StBUMONINFO record;
  int32_t status = ReadOne("code = ?", code, &record);
  if (status != 0) return status;
  std::memcpy(out, &record, sizeof(record));
  return 0;
}

void SetBumon::ReleaseCursor(int32_t cursor) { cursors_.Release(cursor); }

}  // namespace mvhost
