#include "app/SavedReturnMode.h"

#include <cstring>
#include <new>
#include <string>

#include "aggregation/RuleObjects.h"
#include "app/LinkApp.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/ClSetData.h"
#include "report/ReportFile.h"

namespace taxlink {

namespace {

constexpr char kUnitName[] = "SavedReturnMode.cpp";

// Registers code with the host: with this unit and line when non-zero.
int32_t RegisterCode(int32_t code, int line) {
  if (code != 0) return ClMsgMgr::Inst()->SetLastError(code, kUnitName, line);
  return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
}

std::string DataIdOf(const StDATAINFO& dataSet) {
  return std::string(dataSet.dataId, strnlen(dataSet.dataId, sizeof(dataSet.dataId)));
}

}  // namespace

int32_t ReadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet) {
  auto* reader = new (std::nothrow) ClSaveTaxShiryo();
  if (reader == nullptr) return -1;
  reader->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  reader->SetCurDataID(DataIdOf(dataSet).c_str());
  reader->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  reader->RefreshCache();
  int line = __LINE__ + 1;
  int32_t code = reader->GetTaxSaveInfo(saved);
  delete reader;
  return RegisterCode(code, line);
}

int SavedReturnMatches(LinkApp& app, const StSaveTaxInfo* saved, const StDATAINFO& dataSet) {
  if (saved == nullptr) return 0;
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  ClAccPeriod* period = nullptr;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets != nullptr && dataSets->GetAccPeriod(&period) == 0 && period != nullptr) {
    period->GetPeriod(&periodStart, &periodEnd);
  }

  StSHOHIZEIINFO settings;
  std::memset(&settings, 0, sizeof(settings));
  app.ReadTaxSettings(&settings, dataSet);
  uint8_t expectedMethod = settings.filingClass == 1 ? 2 : 1;

  int result = saved->periodStart != 0 && saved->periodEnd != 0 &&
               saved->periodStart == periodStart && saved->periodEnd == periodEnd &&
               saved->dataCodePlus1 == static_cast<uint8_t>(dataSet.interimClosing + 1) &&
               saved->taxationMethod == expectedMethod &&
               saved->creditMethodPlus1 == static_cast<uint8_t>(settings.creditMethod + 1);
  delete period;
  return result;
}

int LoadSavedReturn(LinkApp& app, StSaveTaxInfo* saved, const StDATAINFO& dataSet) {
  if (ReadSavedReturn(saved, dataSet) != 0) return 0;
  return SavedReturnMatches(app, saved, dataSet);
}

int32_t SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t* startMonth,
                          int16_t* endMonth) {
  ClAccPeriod* period = nullptr;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  int line = __LINE__ + 1;
  int32_t code = dataSets == nullptr ? kCreateFailed : dataSets->GetAccPeriod(&period);
  if (code == 0 && period != nullptr) {
    period->GetAMonthByDate(startDate, startMonth, 0);
    line = __LINE__ + 1;
    code = period->GetAMonthByDate(endDate, endMonth, 0);
  }
  int32_t result = RegisterCode(code, line);
  delete period;
  return result;
}

int WriteSavedReport(LinkApp& app, HWND owner, const char* outputPath,
                     const StDATAINFO& dataSet) {
  ReportOutcome outcome = WriteReportFile(app.reportInputs(), owner, outputPath, dataSet, nullptr);
  if (outcome == ReportOutcome::kWritten) return 1;
  app.runResult = kRunFailed;
  return 0;
}

}  // namespace taxlink
