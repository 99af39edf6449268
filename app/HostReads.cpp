// The host reads that several steps of the run share: the selected data set,
// the consumption-tax settings and the first day of an accounting month.

#include <cstring>

#include "app/LinkApp.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClSetData.h"
#include "host/ClSetShohizei.h"
#include "host/ClSysUser.h"
#include "host/HostStatus.h"

namespace taxlink {

bool LinkApp::LoadSelectedDataSet(StDATAINFO* out, int32_t* hostError) {
  int32_t failure = 0;
  auto note = [&failure](int32_t code) {
    if (failure == 0 && code != 0 && code != kHostEndOfData) failure = code;
    return code;
  };
  if (dataSetCache == nullptr) {
    dataSetCache = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  }
  std::memset(out, 0, sizeof(*out));
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  if (dataSetCache == nullptr || user == nullptr) return false;

  char userId[65] = {};
  int32_t first = 0;
  int32_t second = 0;
  note(user->GetCurUserID(userId));
  note(user->GetSelectedNo(userId, &first, &second));

  int32_t cursor = 0;
  dataSetCache->GetDatCursor(&cursor);
  dataSetCache->ReadyDat(cursor, 0);
  bool found = false;
  StDATAINFO record;
  for (;;) {
    std::memset(&record, 0, sizeof(record));
    if (note(dataSetCache->WalkDat(&record, cursor)) != 0) break;
    if (record.dataNo == second) {
      std::memcpy(out, &record, sizeof(record));
      found = true;
      break;
    }
  }
  dataSetCache->ReleaseDatCursor(cursor);
  if (hostError != nullptr) *hostError = found ? 0 : failure;
  return found;
}

bool LinkApp::ReadTaxSettings(StSHOHIZEIINFO* out, const StDATAINFO& dataSet) {
  if (taxSetCache == nullptr) {
    taxSetCache =
        static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  }
  if (taxSetCache == nullptr) return false;
  taxSetCache->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  char dataId[sizeof(dataSet.dataId) + 1] = {};
  std::memcpy(dataId, dataSet.dataId, sizeof(dataSet.dataId));
  taxSetCache->SetCurDataID(dataId);

  StSHOHIZEIINFO settings;
  std::memset(&settings, 0, sizeof(settings));
  if (taxSetCache->Get(&settings) != 0) return false;
  std::memcpy(out, &settings, sizeof(settings));
  return true;
}

int32_t LinkApp::MonthStartDate(int16_t month) {
  int32_t start = 0;
  int32_t end = 0;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets == nullptr) return 0;
  ClAccPeriod* period = nullptr;
  if (dataSets->GetAccPeriod(&period) == 0 && period != nullptr) {
    period->GetPeriodByAMonth(month, &start, &end, 0);
  }
  delete period;
  return start;
}

}  // namespace taxlink
