#include "aggregation/AddTaxDlg.h"

#include <cstring>

#include "aggregation/AccountClasses.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/RawAmount.h"
#include "aggregation/RuleObjects.h"
#include "conditions/PeriodMonthRange.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/ClSetKamoku.h"
#include "host/ClSetShohizei.h"
#include "host/HostStatus.h"
#include "host/StTAXSUMINFO.h"

namespace taxlink {

namespace {

// Rate labels of rows 0, 1 and 2 (x 100).
constexpr int32_t kRowRates[3] = {800, 500, 300};
// The legacy rates of WalkLegacyRates, pass 0 and pass 1.
constexpr int32_t kLegacyRates[2] = {500, 300};
constexpr int32_t kSecuritiesFactor = 20;

bool SameAccountCode(const char* a, const char* b, std::size_t size) {
  return std::strncmp(a, b, size) == 0;
}

}  // namespace

AddTaxDlg::AddTaxDlg(HWND parent) : ProgressDialog(parent) {
  std::memset(&filter, 0, sizeof(filter));
}

AddTaxDlg::AddTaxDlg(const RunSettings& settings) : AddTaxDlg(HWND{0}) {
  filingClassCopy = settings.filingClass;
  mainBusinessTypeCopy = settings.mainBusinessType;
}

AddTaxDlg::~AddTaxDlg() { accountList_.Clear(); }

bool AddTaxDlg::HostOk(int32_t status) {
  if (status == kHostOk || status == kHostEndOfData) return true;
  if (hostError_ == 0) hostError_ = status;
  return false;
}

void AddTaxDlg::BuildAggregationFilter(const StDATAINFO& dataSet, int startMonth, int endMonth) {
  int16_t firstMonth = 0;
  int16_t lastMonth = 0;
  GetPeriodMonthRange(dataSet.periodStart, dataSet.periodEnd, &firstMonth, &lastMonth);
  FillMonthRangeFilter(&filter, firstMonth, lastMonth, dataSet.interimClosing == 1, startMonth,
                       endMonth);
}

int AddTaxDlg::SumTaxReturn(TaxSummaryTables& tables) {
  auto* taxSettings =
      dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  if (taxSettings == nullptr) return 0;
  const int32_t reported = taxSettings->GetTaxRateCount();
  if (!HostOk(reported < 0 ? reported : kHostOk)) return 0;
  const int16_t rows = static_cast<int16_t>(reported);
  // The host writes as many rows as it reports; tables that are smaller (or
  // missing) would be overrun, so nothing is summed into them.
  if (!tables.rateInfo || !tables.businessTypeInfo || rows > tables.rateCount ||
      tables.rateCount < 3) {
    return 0;
  }

  StTAXREPORTRATEINFO* rates = tables.rateInfo.get();
  StTAXREPORTBUSINESSTYPEINFO* types = tables.businessTypeInfo.get();
  for (int k = 0; k < 3; ++k) rates[k].rate = kRowRates[k];
  for (int k = 0; k < rows; ++k) {
    detailSweep();
    for (int j = 0; j < kBusinessTypesPerRate; ++j) {
      StTAXREPORTBUSINESSTYPEINFO& record = types[k * kBusinessTypesPerRate + j];
      record.rate = rates[k].rate;
      record.businessType = static_cast<uint8_t>(j + 1);
    }
  }

  if (!taxReturnRule_) {
    taxReturnRule_ = CreateRuleObject<ClRuleShohizeiShinkoku>();
    if (!taxReturnRule_) return HostFailure(kCreateFailed);
  }
  if (!HostOk(taxReturnRule_->SumTax(filingClassCopy, &filter, rates, types))) return 0;

  // The host keeps the securities figure at 1/20; every row but the last is
  // restored to the full amount.
  for (int k = 0; k + 1 < rows; ++k) {
    rates[k].securitiesSales =
        ToRawAmount(Decimal4::FromRaw(rates[k].securitiesSales) * kSecuritiesFactor);
  }
  return 1;
}

int AddTaxDlg::WalkLegacyRates(int64_t legacyRateSums[2], const StSHOHIZEIINFO& settings) {
  if (!taxSumRule_) {
    taxSumRule_ = CreateRuleObject<ClRuleShohizei>();
    if (!taxSumRule_) return HostFailure(kCreateFailed);
  }
  ResetDetail();
  if (BuildAccountList(ACCOUNT_CLASS_LEGACY) == 0 && hostError_ != 0) return 0;

  const MonthRange range = ReadMonthRange(filter);
  const int16_t startKind = range.startKind;
  const int16_t endKind = range.WalkEndKind();
  for (int pass = 0; pass < 2; ++pass) {
    const int32_t rate = kLegacyRates[pass];
    int32_t status =
        taxSumRule_->MoveReady(2, &startKind, &endKind, &rate, nullptr, settings.taxIncluded);
    const int32_t count = status == kHostOk ? taxSumRule_->GetSumInfoCount() : status;
    if (count < 0) status = count;
    for (int32_t i = 0; status == kHostOk && i < count; ++i) {
      detailTick();
      StTAXSUMINFO summary;
      std::memset(&summary, 0, sizeof(summary));
      status = taxSumRule_->MoveNext(&summary);
      if (status != kHostOk) break;
      // A sweep per listed account compared, shown as one.
      detailSweeps(accountList_.size());
      for (const StKAMOKUINFO& account : accountList_) {
        if (SameAccountCode(account.code, summary.code, sizeof(summary.code))) {
          legacyRateSums[pass] = AddRaw(legacyRateSums[pass], summary.amount);
        }
      }
    }
    taxSumRule_->MoveFinish();
    // A record that cannot be read would leave its amount out of the sums.
    if (!HostOk(status)) return 0;
  }
  CompleteDetail();
  return 1;
}

int AddTaxDlg::BuildAccountList(int list) {
  accountList_.Clear();
  NestedFilter classFilter;
  auto* accounts = dynamic_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindAccounts, 1));
  int result = 0;
  int32_t cursor = 0;
  if (BuildAccountClassFilter(list, &classFilter) && accounts != nullptr &&
      HostOk(accounts->GetCursor(&cursor))) {
    int32_t status = accounts->ReadyCursor(cursor);
    while (status == kHostOk) {
      StKAMOKUINFO account;
      std::memset(&account, 0, sizeof(account));
      status = accounts->WalkFind(&classFilter.top(), &account, cursor);
      if (status != kHostOk) break;
      detailTick();
      if (account.excluded == 0) accountList_.Append(account);
    }
    accounts->ReleaseCursor(cursor);
    // A walk that ends on anything but the end of data leaves accounts out.
    result = HostOk(status) ? 1 : 0;
    if (result == 0) accountList_.Clear();
  }
  CompleteDetail();
  return result;
}

}  // namespace taxlink
