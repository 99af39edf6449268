// The host reads of the run that no lower layer makes: the selected data set
// and the first day of an accounting month.

#include "app/HostReads.h"

#include <cstring>

#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClSetData.h"
#include "host/ClSysUser.h"
#include "status/HostResult.h"

namespace taxlink {

Status LoadSelectedDataSet(StDATAINFO* out) {
  Status failure;
  auto note = [&failure](Status status) {
    if (failure.ok() && !status.ok() && !status.IsEndOfData()) failure = status;
    return status;
  };
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  std::memset(out, 0, sizeof(*out));
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  if (dataSets == nullptr || user == nullptr) {
    return Status::Missing("the host hands out no data sets or no user", "LoadSelectedDataSet");
  }

  char userId[65] = {};
  int32_t first = 0;
  int32_t second = 0;
  note(HostResult(user->GetCurUserID(userId), "ClSysUser::GetCurUserID"));
  note(HostResult(user->GetSelectedNo(userId, &first, &second), "ClSysUser::GetSelectedNo"));

  int32_t cursor = 0;
  dataSets->GetDatCursor(&cursor);
  dataSets->ReadyDat(cursor, 0);
  bool found = false;
  StDATAINFO record;
  for (;;) {
    std::memset(&record, 0, sizeof(record));
    if (!note(HostResult(dataSets->WalkDat(&record, cursor), "ClSetData::WalkDat")).ok()) break;
    if (record.dataNo == second) {
      std::memcpy(out, &record, sizeof(record));
      found = true;
      break;
    }
  }
  dataSets->ReleaseDatCursor(cursor);
  if (found) return Status::OK();
  if (!failure.ok()) return failure;
  return Status::Missing("the selected data set is not there", "LoadSelectedDataSet");
}

int32_t MonthStartDate(int16_t month) {
  int32_t start = 0;
  int32_t end = 0;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets == nullptr) return 0;
  ClAccPeriod* period = nullptr;
  if (HostResult(dataSets->GetAccPeriod(&period), "ClSetData::GetAccPeriod").ok() &&
      period != nullptr) {
    period->GetPeriodByAMonth(month, &start, &end, 0);
  }
  delete period;
  return start;
}

}  // namespace taxlink
