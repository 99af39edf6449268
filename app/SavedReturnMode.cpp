#include "app/SavedReturnMode.h"

#include <cstring>
#include <new>
#include <string>

#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/ClSetData.h"
#include "report/ReportFile.h"
#include "status/HostResult.h"

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

Status ReadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet) {
  auto* reader = new (std::nothrow) ClSaveTaxShiryo();
  if (reader == nullptr) return Status::NotCreated("ClSaveTaxShiryo");
  reader->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  reader->SetCurDataID(DataIdOf(dataSet).c_str());
  reader->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  reader->RefreshCache();
  int line = __LINE__ + 1;
  int32_t code = reader->GetTaxSaveInfo(saved);
  delete reader;
  return HostResult(RegisterCode(code, line), "ClSaveTaxShiryo::GetTaxSaveInfo");
}

bool SavedReturnMatches(const StSaveTaxInfo* saved, const StDATAINFO& dataSet,
                        const TaxSettings& taxSettings) {
  if (saved == nullptr) return false;
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  ClAccPeriod* period = nullptr;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets != nullptr &&
      HostResult(dataSets->GetAccPeriod(&period), "ClSetData::GetAccPeriod").ok() &&
      period != nullptr) {
    period->GetPeriod(&periodStart, &periodEnd);
  }

  const StSHOHIZEIINFO& settings = taxSettings.record;
  uint8_t expectedMethod = settings.filingClass == 1 ? 2 : 1;

  const bool result = saved->periodStart != 0 && saved->periodEnd != 0 &&
               saved->periodStart == periodStart && saved->periodEnd == periodEnd &&
               saved->dataCodePlus1 == static_cast<uint8_t>(dataSet.interimClosing + 1) &&
               saved->taxationMethod == expectedMethod &&
               saved->creditMethodPlus1 == static_cast<uint8_t>(settings.creditMethod + 1);
  delete period;
  return result;
}

bool LoadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet, const TaxSettings& settings) {
  if (!ReadSavedReturn(saved, dataSet).ok()) return false;
  return SavedReturnMatches(saved, dataSet, settings);
}

Status SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t* startMonth,
                         int16_t* endMonth) {
  ClAccPeriod* period = nullptr;
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  int line = __LINE__ + 1;
  int32_t code = dataSets == nullptr ? Status::kNotCreatedCode : dataSets->GetAccPeriod(&period);
  if (HostResult(code, "ClSetData::GetAccPeriod").ok() && period != nullptr) {
    period->GetAMonthByDate(startDate, startMonth, 0);
    line = __LINE__ + 1;
    code = period->GetAMonthByDate(endDate, endMonth, 0);
  }
  Status result = HostResult(RegisterCode(code, line), "ClAccPeriod::GetAMonthByDate");
  delete period;
  return result;
}

Status WriteSavedReport(const ReportInputs& inputs, HWND owner, const char* outputPath,
                        const StDATAINFO& dataSet) {
  return WriteReportFile(inputs, owner, outputPath, dataSet, ReportSource::kSavedReturn);
}

}  // namespace taxlink
