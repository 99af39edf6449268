// The corporate refund statement lines: book amounts from the account sums,
// non-taxable parts from journal lines, and the acquisitions of fixed and
// deferred assets in the period.

#include "aggregation/CorporateRefundPass.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "aggregation/AccountClasses.h"
#include "aggregation/AccountIndex.h"
#include "aggregation/AccountingPeriod.h"
#include "aggregation/AcquiredAssets.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/PeriodAmount.h"
#include "aggregation/ProgressSink.h"
#include "aggregation/RawAmount.h"
#include "host/ClAccPeriod.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

constexpr int32_t kAssetKindDeferred = 9;
// Journal lines whose progress ticks are given at once.
constexpr uint64_t kLinesPerProgressBatch = 1024;

bool IsCorporate(const StDATAINFO& dataSet) {
  return dataSet.entityKind == 0 || dataSet.entityKind == 1;
}

RefundLine* CorporateLineOf(CorporateLine kind, TaxSummaryTables& tables) {
  switch (kind) {
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

// The figures of a line (CorporateLine order), for the trace.
constexpr Figure kBookFigure[] = {Figure::kCorpMerchandiseBook, Figure::kCorpMerchandiseBook,
                                  Figure::kCorpSellingAdminBook, Figure::kCorpNonOperatingBook,
                                  Figure::kCorpOtherBook};
constexpr Figure kNonTaxableFigure[] = {
    Figure::kCorpMerchandiseNonTaxable, Figure::kCorpMerchandiseNonTaxable,
    Figure::kCorpSellingAdminNonTaxable, Figure::kCorpNonOperatingNonTaxable,
    Figure::kCorpOtherNonTaxable};
static_assert(static_cast<int>(CorporateLine::kNone) == 0 &&
              static_cast<int>(CorporateLine::kOther) == 4);

// Stage 1 rules: merchandise detail classes and the merchandise total add;
// the other three totals replace the line's book amount.
template <class Trace>
void ApplyBookAmount(const StKAMOKUSUMINFO& record, int64_t amount, TaxSummaryTables& tables,
                     Trace trace) {
  const bool total = record.totalFlag == 1;
  const uint32_t classCode = record.classCode;
  const bool merchandise =
      classCode == kClassMerchandiseTotal
          ? total
          : CorporateLineOfClass(classCode) == CorporateLine::kMerchandise && !total;
  if (merchandise) {
    tables.corpMerchandisePurchases.bookAmount =
        AddRaw(tables.corpMerchandisePurchases.bookAmount, amount);
    trace(Contribution{Figure::kCorpMerchandiseBook, Contribution::Source::kAccountSum,
                       record.accountId, 0, amount, false, &record});
    return;
  }
  if (!total) return;
  CorporateLine kind = CorporateLine::kNone;
  if (classCode == kClassSellingAdminTotal) kind = CorporateLine::kSellingAdmin;
  if (classCode == kClassNonOperatingTotal) kind = CorporateLine::kNonOperating;
  if (classCode == kClassOtherTotal) kind = CorporateLine::kOther;
  RefundLine* line = CorporateLineOf(kind, tables);
  if (line == nullptr) return;
  line->bookAmount = amount;
  trace(Contribution{kBookFigure[static_cast<int>(kind)], Contribution::Source::kAccountSum,
                     record.accountId, 0, amount, true, &record});
}

}  // namespace

template <class Trace>
Status CorporateRefundPass::Run(TaxSummaryTables& tables, Trace trace) {
  if (!IsCorporate(context_.dataSet)) return Status::OK();
  context_.progress.DetailReset();
  Status status = SumBookAmounts(tables, trace);
  if (status.ok()) status = SumNonTaxableParts(tables, trace);
  if (status.ok()) status = SumAcquiredAssets(tables, trace);
  return status;
}

// Stage 1: book amounts from the account sums.
template <class Trace>
Status CorporateRefundPass::SumBookAmounts(TaxSummaryTables& tables, Trace trace) {
  ClRuleKamoku* rule = nullptr;
  Status status = context_.rules.AccountSums(&rule);
  if (!status.ok()) return status;
  status = HostCallResult(rule->MoveReady(1, 0, 0, &context_.filter, nullptr, 0),
                          "ClRuleKamoku::MoveReady");
  if (!status.ok()) return status;
  int32_t count = 0;
  status = HostCallResult(rule->GetSumCount(&count), "ClRuleKamoku::GetSumCount");
  if (status.ok()) status = HostCallResult(rule->SetMovePos(0), "ClRuleKamoku::SetMovePos");
  const bool interimClosing = context_.dataSet.interimClosing == 1;
  const bool taxIncluded = context_.settings.taxIncluded();
  for (int32_t i = 0; status.ok() && i < count; ++i) {
    context_.progress.DetailTick();
    StKAMOKUSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    status = HostResult(rule->MoveNext(&record), "ClRuleKamoku::MoveNext");
    if (!status.ok()) break;
    if (record.excluded1 == 1 || record.excluded2 == 1) continue;
    PeriodTotals totals = SumPeriodEntries(record, context_.range, interimClosing, taxIncluded);
    ApplyBookAmount(record, SubtractRaw(totals.debit, totals.credit), tables, trace);
  }
  // The query is finished on every path so the cached object holds none open.
  rule->MoveFinish();
  return WalkEnded(status);
}

// Stage 2: non-taxable parts from the journal lines.
template <class Trace>
Status CorporateRefundPass::SumNonTaxableParts(TaxSummaryTables& tables, Trace trace) {
  ClRuleShiwake* rule = nullptr;
  Status status = context_.rules.Journals(&rule);
  if (!status.ok()) return status;
  const AccountList& accounts = context_.accounts;
  status = context_.accounts.Build(ACCOUNT_CLASS_CORPORATE, context_.progress);
  if (!status.ok()) return status;
  NestedFilter journalFilter;
  int32_t lineCount = 0;
  status = StartNonTaxablePurchaseWalk(*rule, context_.filter, &journalFilter, &lineCount,
                                       context_.returnLines);
  // Each line is compared with every listed account, one detail tick per
  // line and per comparison; the index finds the accounts that can match,
  // and the ticks of a line are given at once.
  const bool taxIncluded = context_.settings.taxIncluded();
  const AccountIndex index(accounts);
  // The statement line of each listed account, looked up once.
  std::vector<CorporateLine> kinds(accounts.size());
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    kinds[i] = CorporateLineOfClass(accounts[i].classCode);
  }
  // The ticks are given a batch of lines at a time (the window repaints at
  // most about 30 times a second anyway).
  const uint64_t ticksPerLine = accounts.size() + 1;
  uint64_t untickedLines = 0;
  // One record for the walk: the host hands out each line whole (zeros where
  // the store has nothing), so clearing it again per line only cost time.
  StSWKTINFO line;
  std::memset(&line, 0, sizeof(line));
  for (int32_t i = 0; status.ok() && i < lineCount; ++i) {
    status = HostResult(rule->MoveNext(&line), "ClRuleShiwake::MoveNext");
    if (!status.ok()) {
      context_.progress.DetailTicksEach(ticksPerLine, untickedLines);
      untickedLines = 0;
      context_.progress.DetailTick();
      break;
    }
    if (++untickedLines == kLinesPerProgressBatch) {
      context_.progress.DetailTicksEach(ticksPerLine, untickedLines);
      untickedLines = 0;
    }
    const int64_t debitValue = JournalSideValue(line.debitAmount, line.debitTax, taxIncluded);
    const int64_t creditValue = JournalSideValue(line.creditAmount, line.creditTax, taxIncluded);
    index.ForEachMatch(line.debitAccountId, line.creditAccountId, [&](std::size_t position) {
      const StKAMOKUINFO& account = accounts[position];
      const CorporateLine kind = kinds[position];
      RefundLine* target = CorporateLineOf(kind, tables);
      if (target == nullptr) return;
      const Figure figure = kNonTaxableFigure[static_cast<int>(kind)];
      if (line.debitAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.debitTaxClass)) {
        target->nonTaxablePart = AddRaw(target->nonTaxablePart, debitValue);
        trace(Contribution{figure, Contribution::Source::kJournalLine, line.journalId, line.lineNo,
                           debitValue, false, &line, &account, 1});
      }
      if (line.creditAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.creditTaxClass)) {
        target->nonTaxablePart = SubtractRaw(target->nonTaxablePart, creditValue);
        trace(Contribution{figure, Contribution::Source::kJournalLine, line.journalId, line.lineNo,
                           -creditValue, false, &line, &account, 2});
      }
    });
  }
  context_.progress.DetailTicksEach(ticksPerLine, untickedLines);
  // The trace's sides of the lines after the last one the walk took.
  Status rest =
      WalkEnded(status).ok() ? FinishReturnLineTrace(*rule, context_.returnLines) : Status::OK();
  rule->MoveFinish();
  if (!rest.ok()) return rest;
  return WalkEnded(status);
}

// Stage 3: fixed and deferred assets acquired in the period. The period's
// dates come from the host; a date it cannot give fails the pass, since a
// range of zeros would leave every asset out.
template <class Trace>
Status CorporateRefundPass::SumAcquiredAssets(TaxSummaryTables& tables, Trace trace) {
  ClRuleGenkashokyaku* rule = nullptr;
  Status status = context_.rules.FixedAssets(&rule);
  if (!status.ok()) return status;
  std::unique_ptr<ClAccPeriod> period;
  status = AccountingPeriodOfSetManager(&period);
  if (!status.ok()) return status;

  const MonthRange& range = context_.range;
  int32_t firstDay = 0;
  int32_t lastDay = 0;
  status = HostCallResult(period->GetPeriodByMonthKind(range.startKind, &firstDay, &lastDay, 0),
                          "ClAccPeriod::GetPeriodByMonthKind");
  if (!status.ok()) return status;
  const int32_t from = std::max(firstDay, int32_t{context_.dataSet.periodStart});
  firstDay = 0;
  lastDay = 0;
  status = HostCallResult(period->GetPeriodByMonthKind(range.endKind, &firstDay, &lastDay, 0),
                          "ClAccPeriod::GetPeriodByMonthKind");
  if (!status.ok() && range.includesYearEnd) {
    // A range that takes the year-end adjustment ends on its day.
    firstDay = 0;
    lastDay = 0;
    status = HostCallResult(
        period->GetPeriodByMonthKind(kMonthKindYearEndClosing, &firstDay, &lastDay, 0),
        "ClAccPeriod::GetPeriodByMonthKind");
  }
  if (!status.ok()) return status;
  const int32_t to = lastDay;

  auto addAsset = [&](const StKOTEISHISANINFO& asset) {
    const bool deferred = asset.kind == kAssetKindDeferred;
    int64_t& figure = deferred ? tables.corpDeferredAssets : tables.corpFixedAssets;
    figure = AddRaw(figure, asset.acquisitionAmount);
    trace(Contribution{deferred ? Figure::kCorpDeferredAssets : Figure::kCorpFixedAssets,
                       Contribution::Source::kFixedAsset, asset.assetId, 0, asset.acquisitionAmount,
                       false, &asset});
  };
  return WalkAcquiredAssets(*rule, from, to, context_.progress, addAsset);
}

template Status CorporateRefundPass::Run(TaxSummaryTables&, NoTrace);
template Status CorporateRefundPass::Run(TaxSummaryTables&, SinkTrace);

}  // namespace taxlink
