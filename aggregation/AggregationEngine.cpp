#include "aggregation/AggregationEngine.h"

#include <cstring>

#include "aggregation/AccountClasses.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/CorporateRefundPass.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/IndividualRefundPass.h"
#include "aggregation/PassContext.h"
#include "aggregation/ProgressSink.h"
#include "aggregation/RawAmount.h"
#include "conditions/PeriodMonthRange.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/StTAXSUMINFO.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

// Rate labels of rows 0, 1 and 2 (x 100).
constexpr int32_t kRowRates[3] = {800, 500, 300};
// The legacy rates of WalkLegacyRates, pass 0 and pass 1, and their figures.
constexpr int32_t kLegacyRates[2] = {500, 300};
constexpr Figure kLegacyFigures[2] = {Figure::kLegacyRate5, Figure::kLegacyRate3};
constexpr int kSecuritiesFactor = 20;

bool SameAccountCode(const char* a, const char* b, std::size_t size) {
  return std::strncmp(a, b, size) == 0;
}

}  // namespace

AggregationEngine::AggregationEngine(const StDATAINFO& dataSet, int startMonth, int endMonth,
                                     const TaxSettings& settings)
    : dataSet_(dataSet), settings_(settings) {
  int16_t firstMonth = 0;
  int16_t lastMonth = 0;
  filterStatus_ =
      GetPeriodMonthRange(dataSet.periodStart, dataSet.periodEnd, &firstMonth, &lastMonth);
  FillMonthRangeFilter(&filter_, firstMonth, lastMonth, dataSet.interimClosing == 1, startMonth,
                       endMonth);
}

AggregationEngine::~AggregationEngine() = default;

Status AggregationEngine::Run(ProgressSink& progress, TaxSummaryTables* tables, FigureTrace* trace,
                              TaxLineSink* lines) {
  if (!filterStatus_.ok()) return filterStatus_;
  TaxSummaryTables figures;
  figures.Allocate(settings_.rateRows());
  ReturnLineTrace returnLines{lines, settings_.filingClass(), nullptr, false};
  PassContext context{dataSet_, settings_, filter_,   ReadMonthRange(filter_),
                      progress, rules_,    accounts_, lines != nullptr ? &returnLines : nullptr};
  // The choice of trace is made once, here: without one the walks are
  // compiled with NoTrace and their per-line path calls nothing.
  Status status = trace != nullptr ? RunPasses(context, figures, SinkTrace{trace})
                                   : RunPasses(context, figures, NoTrace{});
  if (status.ok()) *tables = std::move(figures);
  return status;
}

template <class Trace>
Status AggregationEngine::RunPasses(PassContext& context, TaxSummaryTables& tables, Trace trace) {
  context.progress.OverallAdvance(0, 250);
  Status status = SumTaxReturn(context, tables);
  if (!status.ok()) return status;
  context.progress.OverallAdvance(250, 500);
  status = WalkLegacyRates(context, tables.legacyRateSums, trace);
  if (!status.ok()) return status;
  context.progress.OverallAdvance(500, 750);
  status = CorporateRefundPass(context).Run(tables, trace);
  if (!status.ok()) return status;
  status = IndividualRefundPass(context).Run(tables, trace);
  if (!status.ok()) return status;
  // The return's lines, when no pass walked the lines to hand them over.
  ReturnLineTrace* lines = context.returnLines;
  if (lines != nullptr && !lines->handedOver) {
    ClRuleShohizeiShinkoku* rule = nullptr;
    status = context.rules.TaxReturn(&rule);
    if (!status.ok()) return status;
    status = HostCallResult(rule->TraceTax(lines->filingClass, &filter_, lines->rates, lines->sink),
                            "ClRuleShohizeiShinkoku::TraceTax");
    if (!status.ok()) return status;
    lines->handedOver = true;
  }
  context.progress.OverallAdvance(750, 1000);
  return Status::OK();
}

Status AggregationEngine::SumTaxReturn(PassContext& context, TaxSummaryTables& tables) {
  // Without the settings object there are no rate rows to sum into.
  if (!settings_.setObjectFound) {
    return Status::Missing("no consumption-tax settings object", "SumTaxReturn");
  }
  const int16_t rows = settings_.rateRows();
  // The host writes as many rows as it reports; tables of another size
  // would be overrun or left short of rows.
  if (rows < kMinRateRows || rows != tables.rateCount) {
    return Status::Missing("the rate rows do not match the figure tables", "SumTaxReturn");
  }

  StTAXREPORTRATEINFO* rates = tables.rateInfo.get();
  StTAXREPORTBUSINESSTYPEINFO* types = tables.businessTypeInfo.get();
  for (int k = 0; k < 3; ++k) rates[k].rate = kRowRates[k];
  for (int k = 0; k < rows; ++k) {
    context.progress.DetailSweep();
    for (int j = 0; j < kBusinessTypesPerRate; ++j) {
      StTAXREPORTBUSINESSTYPEINFO& record = types[k * kBusinessTypesPerRate + j];
      record.rate = rates[k].rate;
      record.businessType = static_cast<uint8_t>(j + 1);
    }
  }

  ClRuleShohizeiShinkoku* rule = nullptr;
  Status status = context.rules.TaxReturn(&rule);
  if (!status.ok()) return status;
  // The lines behind the rows come later, from the host's own rules over
  // these labels (ReturnLineTrace).
  if (context.returnLines != nullptr) context.returnLines->rates = rates;
  status = HostCallResult(rule->SumTax(settings_.filingClass(), &filter_, rates, types),
                          "ClRuleShohizeiShinkoku::SumTax");
  if (!status.ok()) return status;

  // The host keeps the securities figure at 1/20; every row but the last is
  // restored to the full amount.
  for (int k = 0; k + 1 < rows; ++k) {
    rates[k].securitiesSales =
        ToRawAmount(Decimal4::FromRaw(rates[k].securitiesSales) * kSecuritiesFactor);
  }
  return Status::OK();
}

template <class Trace>
Status AggregationEngine::WalkLegacyRates(PassContext& context, int64_t legacyRateSums[2],
                                          Trace trace) {
  ClRuleShohizei* rule = nullptr;
  Status status = context.rules.TaxSums(&rule);
  if (!status.ok()) return status;
  context.progress.DetailReset();
  status = context.accounts.Build(ACCOUNT_CLASS_LEGACY, context.progress);
  if (!status.ok()) return status;

  const int16_t startKind = context.range.startKind;
  const int16_t endKind = context.range.WalkEndKind();
  for (int pass = 0; pass < 2; ++pass) {
    const int32_t rate = kLegacyRates[pass];
    status = HostResult(
        rule->MoveReady(2, &startKind, &endKind, &rate, nullptr, settings_.record.taxIncluded),
        "ClRuleShohizei::MoveReady");
    int32_t count = 0;
    if (status.ok()) {
      count = rule->GetSumInfoCount();
      status = HostCountResult(count, "ClRuleShohizei::GetSumInfoCount");
    }
    for (int32_t i = 0; status.ok() && i < count; ++i) {
      context.progress.DetailTick();
      StTAXSUMINFO summary;
      std::memset(&summary, 0, sizeof(summary));
      status = HostResult(rule->MoveNext(&summary), "ClRuleShohizei::MoveNext");
      if (!status.ok()) break;
      // A sweep per listed account compared, shown as one.
      context.progress.DetailSweeps(context.accounts.size());
      for (const StKAMOKUINFO& account : context.accounts) {
        if (SameAccountCode(account.code, summary.code, sizeof(summary.code))) {
          legacyRateSums[pass] = AddRaw(legacyRateSums[pass], summary.amount);
          trace(Contribution{kLegacyFigures[pass], Contribution::Source::kTaxSummary,
                             account.accountId, 0, summary.amount, false, &summary, &account});
        }
      }
    }
    rule->MoveFinish();
    // A record that cannot be read would leave its amount out of the sums.
    status = WalkEnded(status);
    if (!status.ok()) return status;
  }
  context.progress.DetailComplete();
  return Status::OK();
}

}  // namespace taxlink
