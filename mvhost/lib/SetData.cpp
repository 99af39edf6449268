#include "mvhost/lib/SetData.h"
#include "mvhost/lib/ReadScope.h"

#include <cstring>
#include <new>

#include "host/ClAccPeriod.h"
#include "host/HostStatus.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

constexpr const char kDataColumns[] =
    "SELECT data_no, data_id, company_name, period_start, period_end, interim_closing, "
    "record_kind, entity_kind, income_kind FROM data_set ";

// A host status: 0, or the error of a text that Shift_JIS cannot hold.
int32_t Fill(const SqlStatement& row, StDATAINFO* out) {
  std::memset(out, 0, sizeof(*out));
  out->dataNo = static_cast<int32_t>(row.Int(0));
  const char* column = nullptr;
  if (!CopyRecordText(out->dataId, sizeof(out->dataId), row.Text(1))) column = "data_id";
  if (!CopyRecordText(out->companyName, sizeof(out->companyName), row.Text(2))) {
    column = "company_name";
  }
  if (column != nullptr) {
    return StoreTextError("data set " + std::to_string(row.Int(0)) + ": " + column);
  }
  out->periodStart = static_cast<int32_t>(row.Int(3));
  out->periodEnd = static_cast<int32_t>(row.Int(4));
  out->interimClosing = static_cast<int32_t>(row.Int(5));
  out->recordKind = static_cast<int16_t>(row.Int(6));
  out->entityKind = static_cast<uint8_t>(row.Int(7));
  out->incomeKind = static_cast<uint8_t>(row.Int(8));
  return 0;
}

}  // namespace

int32_t SetData::ReadDataInfo(sqlite3* db, int32_t dataNo, StDATAINFO* out) {
  SqlStatement stmt;
  int32_t status =
      stmt.Prepare(db, std::string(kDataColumns) + "WHERE data_no = ?", "read the data set");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  return Fill(stmt, out);
}

int32_t SetData::AttachSetMgr(ClSetMgr* setMgr) {
  setMgr_ = setMgr;
  return 0;
}

int32_t SetData::SetCurDataID(const char* dataId) { return binding_.Bind(dataId); }

int32_t SetData::GetDatCursor(int32_t* cursor) { return cursors_.Open(cursor); }

int32_t SetData::ReadyDat(int32_t cursor, int32_t /*mode*/) { return cursors_.Ready(cursor); }

int32_t SetData::WalkDat(StDATAINFO* out, int32_t cursor) {
  if (out == nullptr) return kErrBadArgument;
  int32_t status = 0;
  CursorTable::Cursor* position = cursors_.Find(cursor, &status);
  if (position == nullptr) return status;
  sqlite3* db = HostSession::Db(&status);
  if (db == nullptr) return status;
  SqlStatement stmt;
  status =
      stmt.Prepare(db, std::string(kDataColumns) + "WHERE data_no > ? ORDER BY data_no LIMIT 1",
                   "walk the data sets");
  if (status != 0) return status;
  stmt.BindInt(1, position->started ? position->lastKey : INT64_MIN);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  // A record that cannot be handed out is still passed by the walk.
  status = Fill(stmt, out);
  position->started = true;
  position->lastKey = stmt.Int(0);
  return status;
}

void SetData::ReleaseDatCursor(int32_t cursor) { cursors_.Release(cursor); }

int32_t SetData::GetSelectedInfo(StDATAINFO* out) {
  if (out == nullptr) return kErrBadArgument;
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  if (db == nullptr) return status;
  ReadScope scope(db);
  int32_t dataNo = 0;
  status = HostSession::SelectedDataNo(db, &dataNo);
  if (status != 0) return status;
  return ReadDataInfo(db, dataNo, out);
}

int32_t SetData::GetAccPeriod(ClAccPeriod** period) {
  if (period == nullptr) return kErrBadArgument;
  *period = nullptr;
  ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = binding_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  StDATAINFO info;
  status = ReadDataInfo(db, dataNo, &info);
  if (status != 0) return status == kHostEndOfData ? kErrNoDataSet : status;
  ClAccPeriod* created = new (std::nothrow) ClAccPeriod;
  if (created == nullptr) return kErrCreateFailed;
  status = created->SetPeriod(info.periodStart, info.periodEnd);
  if (status != 0) {
    delete created;
    return status;
  }
  *period = created;
  return 0;
}

}  // namespace mvhost
