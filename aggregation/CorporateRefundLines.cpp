// The corporate refund statement lines: book amounts from the account sums,
// non-taxable parts from journal lines, and the acquisitions of fixed and
// deferred assets in the period.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "aggregation/AccountClasses.h"
#include "aggregation/AccountIndex.h"
#include "aggregation/AddTaxDlg.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/PeriodAmount.h"
#include "aggregation/RawAmount.h"
#include "aggregation/RuleObjects.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClSetData.h"
#include "host/ClSetMgr.h"
#include "host/HostStatus.h"

namespace taxlink {

namespace {

constexpr int32_t kCursorTypeJournal = 4;
constexpr int32_t kAssetKindDeferred = 9;

bool IsCorporate(const StDATAINFO& dataSet) {
  return dataSet.entityKind == 0 || dataSet.entityKind == 1;
}

// Stage 1 rules: merchandise detail classes and the merchandise total add;
// the other three totals replace the line's book amount.
void ApplyCorporateBookAmount(uint32_t classCode, uint8_t totalFlag, int64_t amount,
                              TaxSummaryTables& tables) {
  const bool total = totalFlag == 1;
  if (classCode == kClassMerchandiseTotal) {
    if (total) {
      tables.corpMerchandisePurchases.bookAmount =
          AddRaw(tables.corpMerchandisePurchases.bookAmount, amount);
    }
    return;
  }
  if (CorporateLineOfClass(classCode) == CorporateLine::kMerchandise) {
    if (!total) {
      tables.corpMerchandisePurchases.bookAmount =
          AddRaw(tables.corpMerchandisePurchases.bookAmount, amount);
    }
    return;
  }
  if (!total) return;
  if (classCode == kClassSellingAdminTotal) tables.corpSellingAdminExpenses.bookAmount = amount;
  if (classCode == kClassNonOperatingTotal) tables.corpNonOperatingExpenses.bookAmount = amount;
  if (classCode == kClassOtherTotal) tables.corpOtherItems.bookAmount = amount;
}

RefundLine* CorporateJournalTarget(uint32_t classCode, TaxSummaryTables& tables) {
  switch (CorporateLineOfClass(classCode)) {
    case CorporateLine::kMerchandise:
      return &tables.corpMerchandisePurchases;
    case CorporateLine::kSellingAdmin:
      return &tables.corpSellingAdminExpenses;
    case CorporateLine::kNonOperating:
      return &tables.corpNonOperatingExpenses;
    case CorporateLine::kOther:
      return &tables.corpOtherItems;
    case CorporateLine::kNone:
      break;
  }
  return nullptr;
}

ClSetData* DataSetsOfSetManager() {
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return nullptr;
  return dynamic_cast<ClSetData*>(setMgr->GetSetObject(kSetKindDataSets, 1));
}

}  // namespace

int AddTaxDlg::SumCorporateRefundLines(TaxSummaryTables& tables, const StDATAINFO& dataSet,
                                       const StSHOHIZEIINFO& settings) {
  if (!IsCorporate(dataSet)) return 1;
  const bool taxIncluded = settings.taxIncluded != 0;
  const bool interimClosing = dataSet.interimClosing == 1;
  const MonthRange range = ReadMonthRange(filter);

  // Stage 1: book amounts from the account sums.
  ResetDetail();
  if (!accountSumRule_) {
    accountSumRule_ = CreateRuleObject<ClRuleKamoku>();
    if (!accountSumRule_) return HostFailure(kCreateFailed);
  }
  if (!HostOk(accountSumRule_->MoveReady(1, 0, 0, &filter, nullptr, 0))) return 0;
  int32_t count = 0;
  if (!HostOk(accountSumRule_->GetSumCount(&count)) ||
      !HostOk(accountSumRule_->SetMovePos(0))) {
    accountSumRule_->MoveFinish();
    return 0;
  }
  int32_t status = kHostOk;
  for (int32_t i = 0; i < count; ++i) {
    detailTick();
    StKAMOKUSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    status = accountSumRule_->MoveNext(&record);
    if (status != kHostOk) break;
    if (record.excluded1 == 1 || record.excluded2 == 1) continue;
    PeriodTotals totals = SumPeriodEntries(record, range, interimClosing, taxIncluded);
    ApplyCorporateBookAmount(record.classCode, record.totalFlag,
                             SubtractRaw(totals.debit, totals.credit), tables);
  }
  // The query is finished on every path so the cached object holds none open.
  accountSumRule_->MoveFinish();
  if (!HostOk(status)) return 0;

  // Stage 2: non-taxable parts from the journal lines.
  if (!journalRule_) {
    journalRule_ = CreateRuleObject<ClRuleShiwake>();
    if (!journalRule_) return HostFailure(kCreateFailed);
  }
  if (BuildAccountList(ACCOUNT_CLASS_CORPORATE) == 0 && hostError_ != 0) return 0;
  NestedFilter journalFilter;
  BuildNonTaxablePurchaseFilter(filter, &journalFilter);
  int32_t lineCount = 0;
  status = journalRule_->GetSwkCount(&journalFilter.top(), nullptr, &lineCount);
  if (status == kHostOk) {
    status = journalRule_->MoveReady(&journalFilter.top(), nullptr, nullptr, kCursorTypeJournal);
  }
  // Each line is compared with every listed account, one detail tick per
  // line and per comparison; the index finds the accounts that can match,
  // and the ticks of a line are given at once.
  const AccountIndex index(accountList_);
  std::vector<std::size_t> matches;
  for (int32_t i = 0; status == kHostOk && i < lineCount; ++i) {
    StSWKTINFO line;
    std::memset(&line, 0, sizeof(line));
    status = journalRule_->MoveNext(&line);
    if (status != kHostOk) {
      detailTick();
      break;
    }
    detailTicks(accountList_.size() + 1);
    const int64_t debitValue = JournalSideValue(line.debitAmount, line.debitTax, taxIncluded);
    const int64_t creditValue = JournalSideValue(line.creditAmount, line.creditTax, taxIncluded);
    index.Matches(line.debitAccountId, line.creditAccountId, &matches);
    for (std::size_t position : matches) {
      const StKAMOKUINFO& account = accountList_[position];
      RefundLine* target = CorporateJournalTarget(account.classCode, tables);
      if (target == nullptr) continue;
      if (line.debitAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.debitTaxClass)) {
        target->nonTaxablePart = AddRaw(target->nonTaxablePart, debitValue);
      }
      if (line.creditAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.creditTaxClass)) {
        target->nonTaxablePart = SubtractRaw(target->nonTaxablePart, creditValue);
      }
    }
  }
  journalRule_->MoveFinish();
  if (!HostOk(status)) return 0;

  // Stage 3: fixed and deferred assets acquired in the period.
  if (!fixedAssetRule_) {
    fixedAssetRule_ = CreateRuleObject<ClRuleGenkashokyaku>();
    if (!fixedAssetRule_) return HostFailure(kCreateFailed);
  }
  ClAccPeriod* periodObject = nullptr;
  if (ClSetData* dataSets = DataSetsOfSetManager()) dataSets->GetAccPeriod(&periodObject);
  std::unique_ptr<ClAccPeriod> period(periodObject);

  int32_t firstDay = 0;
  int32_t lastDay = 0;
  if (period) period->GetPeriodByMonthKind(range.startKind, &firstDay, &lastDay, 0);
  const int32_t from = std::max(firstDay, int32_t{dataSet.periodStart});
  int32_t to = 0;
  firstDay = 0;
  lastDay = 0;
  if (period && period->GetPeriodByMonthKind(range.endKind, &firstDay, &lastDay, 0) == kHostOk) {
    to = lastDay;
  } else if (period && range.includesYearEnd) {
    firstDay = 0;
    lastDay = 0;
    period->GetPeriodByMonthKind(kMonthKindYearEndClosing, &firstDay, &lastDay, 0);
    to = lastDay;
  }

  StFINDINFO assetFilter = AssetDateFilter(from, to);
  status = fixedAssetRule_->MoveReady(&assetFilter, 0, 0);
  const int32_t assetCount = status == kHostOk ? fixedAssetRule_->GetCount() : 0;
  if (assetCount < 0) status = assetCount;
  auto year = std::make_unique<StKOTEINENINFO>();
  auto month = std::make_unique<StKOTEITSUKIINFO>();
  for (int32_t i = 0; status == kHostOk && i < assetCount; ++i) {
    detailTick();
    StKOTEISHISANINFO asset;
    std::memset(&asset, 0, sizeof(asset));
    std::memset(year.get(), 0, sizeof(*year));
    std::memset(month.get(), 0, sizeof(*month));
    status = fixedAssetRule_->Move(i, &asset, year.get(), month.get());
    if (status != kHostOk) break;
    if (asset.kind == kAssetKindDeferred) {
      tables.corpDeferredAssets = AddRaw(tables.corpDeferredAssets, asset.acquisitionAmount);
    } else {
      tables.corpFixedAssets = AddRaw(tables.corpFixedAssets, asset.acquisitionAmount);
    }
  }
  fixedAssetRule_->MoveFinish();
  return HostOk(status) ? 1 : 0;
}

}  // namespace taxlink
