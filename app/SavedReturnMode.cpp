#include "app/SavedReturnMode.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "aggregation/AccountingPeriod.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClLinkMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/ClSetData.h"
#include "host/ClSetMgr.h"
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
  if (reader == nullptr) {
    return HostResult(RegisterCode(Status::kNotCreatedCode, __LINE__), "new ClSaveTaxShiryo");
  }
  std::unique_ptr<ClSaveTaxShiryo> owned(reader);
  // The preparing calls in turn; the first that fails is registered.
  auto failed = [](int32_t code, int line, const char* where, Status* status) {
    if (HostCallResult(code, where).ok()) return false;
    *status = HostResult(RegisterCode(code, line), where);
    return true;
  };
  Status status;
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return Status::Missing("no set manager", "ClDataMgr::GetSetMgr");
  if (failed(reader->AttachSetMgr(setMgr), __LINE__, "ClSaveBase::AttachSetMgr", &status) ||
      failed(reader->SetCurDataID(DataIdOf(dataSet).c_str()), __LINE__, "ClSaveBase::SetCurDataID",
             &status)) {
    return status;
  }
  ClOptLink* options = ClLinkMgr::Inst()->GetOptLink();
  if (options == nullptr) return Status::Missing("no link options", "ClLinkMgr::GetOptLink");
  if (failed(reader->AttachOptLink(options), __LINE__, "ClSaveBase::AttachOptLink", &status) ||
      failed(reader->RefreshCache(), __LINE__, "ClSaveTaxShiryo::RefreshCache", &status)) {
    return status;
  }
  int line = __LINE__ + 1;
  int32_t code = reader->GetTaxSaveInfo(saved);
  return HostResult(RegisterCode(code, line), "ClSaveTaxShiryo::GetTaxSaveInfo");
}

Status SavedReturnMatches(const StSaveTaxInfo* saved, const StDATAINFO& dataSet,
                          const TaxSettings& taxSettings, bool* matches) {
  *matches = false;
  if (saved == nullptr) return Status::OK();
  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  if (dataSets == nullptr) return Status::Missing("no data sets", "ClDataMgr::GetSetObject");
  std::unique_ptr<ClAccPeriod> period;
  Status status = AccountingPeriodOf(dataSets, &period);
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  if (status.ok()) {
    status = HostCallResult(period->GetPeriod(&periodStart, &periodEnd), "ClAccPeriod::GetPeriod");
  }
  if (!status.ok()) return status;

  const StSHOHIZEIINFO& settings = taxSettings.record;
  uint8_t expectedMethod = settings.filingClass == 1 ? 2 : 1;
  *matches = saved->periodStart != 0 && saved->periodEnd != 0 &&
             saved->periodStart == periodStart && saved->periodEnd == periodEnd &&
             saved->dataCodePlus1 == static_cast<uint8_t>(dataSet.interimClosing + 1) &&
             saved->taxationMethod == expectedMethod &&
             saved->creditMethodPlus1 == static_cast<uint8_t>(settings.creditMethod + 1);
  return Status::OK();
}

Status LoadSavedReturn(StSaveTaxInfo* saved, const StDATAINFO& dataSet, const TaxSettings& settings,
                       bool* usable) {
  *usable = false;
  Status read = ReadSavedReturn(saved, dataSet);
  // A positive code is the host's notice (nothing saved): no saved return
  // to offer. Anything else is a failure of the read.
  if (read.code() == Status::Code::kHostError && read.hostCode() > 0) return Status::OK();
  if (!read.ok()) return read;
  return SavedReturnMatches(saved, dataSet, settings, usable);
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
