// The host reads of the run that no lower layer makes: the selected data set
// and the first day of an accounting month.

#include "app/HostReads.h"

#include <cstring>
#include <memory>
#include <string>

#include "aggregation/AccountingPeriod.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClSetData.h"
#include "host/ClSysUser.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

ClSetData* DataSets() {
  return static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
}

}  // namespace

Status LoadSelectedDataSet(StDATAINFO* out) {
  std::memset(out, 0, sizeof(*out));
  ClSetData* dataSets = DataSets();
  if (dataSets == nullptr) return Status::Missing("no data sets", "ClDataMgr::GetSetObject");
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  if (user == nullptr) return Status::Missing("no user object", "ClDataMgr::GetSysUserObject");

  char userId[65] = {};
  int32_t first = 0;
  int32_t second = 0;
  Status status = HostCallResult(user->GetCurUserID(userId), "ClSysUser::GetCurUserID");
  if (status.ok()) {
    status =
        HostCallResult(user->GetSelectedNo(userId, &first, &second), "ClSysUser::GetSelectedNo");
  }
  if (!status.ok()) return status;

  int32_t cursor = 0;
  status = HostCallResult(dataSets->GetDatCursor(&cursor), "ClSetData::GetDatCursor");
  if (!status.ok()) return status;
  status = HostCallResult(dataSets->ReadyDat(cursor, 0), "ClSetData::ReadyDat");
  bool found = false;
  StDATAINFO record;
  while (status.ok()) {
    std::memset(&record, 0, sizeof(record));
    status = HostResult(dataSets->WalkDat(&record, cursor), "ClSetData::WalkDat");
    if (status.ok() && record.dataNo == second) {
      std::memcpy(out, &record, sizeof(record));
      found = true;
      break;
    }
  }
  dataSets->ReleaseDatCursor(cursor);
  if (found) return Status::OK();
  status = WalkEnded(status);
  if (!status.ok()) return status;
  return Status::Missing("the selected data set " + std::to_string(second) + " is not there",
                         "LoadSelectedDataSet");
}

Status MonthStartDate(int16_t month, int32_t* date) {
  *date = 0;
  ClSetData* dataSets = DataSets();
  if (dataSets == nullptr) return Status::Missing("no data sets", "ClDataMgr::GetSetObject");
  std::unique_ptr<ClAccPeriod> period;
  Status status = AccountingPeriodOf(dataSets, &period);
  if (!status.ok()) return status;
  int32_t end = 0;
  return HostCallResult(period->GetPeriodByAMonth(month, date, &end, 0),
                        "ClAccPeriod::GetPeriodByAMonth");
}

}  // namespace taxlink
