// Prints a digest of every summation result on the benchmark data set, one
// line per query. Changes to the host's queries or indexes must leave the
// output unchanged:
//   host_results > before.txt; (change, rebuild); host_results | diff before.txt -
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "aggregation/AggregationEngine.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/NestedFilter.h"
#include "aggregation/RuleObjects.h"
#include "aggregation/TaxSummaryTables.h"
#include "bench/BenchHome.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/ClSetShohizei.h"
#include "host/StSHOHIZEIINFO.h"

namespace taxlink::bench {
namespace {

// FNV-1a over the bytes of the records a query hands out.
class Digest {
 public:
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash_ = (hash_ ^ bytes[i]) * 1099511628211ULL;
    }
  }
  uint64_t value() const { return hash_; }

 private:
  uint64_t hash_ = 14695981039346656037ULL;
};

StFINDINFO MonthRange(const BenchHome& home, int startMonth, int endMonth) {
  return AggregationEngine(home.dataSet, startMonth, endMonth, TaxSettings{}).filter();
}

void PrintSumTax(const BenchHome& home, int startMonth, int endMonth) {
  StFINDINFO filter = MonthRange(home, startMonth, endMonth);
  auto* taxSettings =
      dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  auto rule = PreparedRule<ClRuleShohizeiShinkoku>();
  if (taxSettings == nullptr || !rule) {
    std::printf("SumTax %d..%d: no objects\n", startMonth, endMonth);
    return;
  }
  const int rows = taxSettings->GetTaxRateCount();
  auto rates = std::make_unique<StTAXREPORTRATEINFO[]>(rows);
  auto types = std::make_unique<StTAXREPORTBUSINESSTYPEINFO[]>(static_cast<std::size_t>(rows) * 6);
  std::memset(rates.get(), 0, sizeof(StTAXREPORTRATEINFO) * rows);
  std::memset(types.get(), 0, sizeof(StTAXREPORTBUSINESSTYPEINFO) * rows * 6);
  int32_t status = rule->SumTax(2, &filter, rates.get(), types.get());
  Digest digest;
  digest.Add(rates.get(), sizeof(StTAXREPORTRATEINFO) * rows);
  digest.Add(types.get(), sizeof(StTAXREPORTBUSINESSTYPEINFO) * rows * 6);
  std::printf("SumTax %d..%d: status %d rows %d digest %016" PRIx64 "\n", startMonth, endMonth,
              status, rows, digest.value());
}

void PrintAccountSums(const BenchHome& home, int32_t department) {
  StFINDINFO filter = MonthRange(home, 4, 3);
  auto rule = PreparedRule<ClRuleKamoku>();
  StBUMONINFO dept;
  std::memset(&dept, 0, sizeof(dept));
  dept.code = department;
  int32_t status =
      rule->MoveReady(1, department == 0 ? 0 : 4, 0, &filter, department == 0 ? nullptr : &dept, 0);
  int32_t count = 0;
  rule->GetSumCount(&count);
  Digest digest;
  StKAMOKUSUMINFO record;
  for (;;) {
    std::memset(&record, 0, sizeof(record));
    if (rule->MoveNext(&record) != 0) break;
    digest.Add(&record, sizeof(record));
  }
  rule->MoveFinish();
  std::printf("AccountSums dept %d: status %d records %d digest %016" PRIx64 "\n", department,
              status, count, digest.value());
}

void PrintJournalWalk(const BenchHome& home, bool imports) {
  StFINDINFO monthRange = MonthRange(home, 4, 9);
  NestedFilter filter;
  if (imports) {
    BuildImportTaxClassFilter(monthRange, &filter);
  } else {
    BuildNonTaxablePurchaseFilter(monthRange, &filter);
  }
  auto rule = PreparedRule<ClRuleShiwake>();
  int32_t count = 0;
  int32_t status = rule->GetSwkCount(&filter.top(), nullptr, &count);
  int32_t ready = rule->MoveReady(&filter.top(), nullptr, nullptr, 0);
  Digest digest;
  int32_t walked = 0;
  StSWKTINFO line;
  for (;;) {
    std::memset(&line, 0, sizeof(line));
    if (rule->MoveNext(&line) != 0) break;
    digest.Add(&line, sizeof(line));
    ++walked;
  }
  rule->MoveFinish();
  std::printf("JournalWalk %s: status %d/%d count %d walked %d digest %016" PRIx64 "\n",
              imports ? "imports" : "non-taxable", status, ready, count, walked, digest.value());
}

void PrintChecks(const BenchHome& home, int endMonth) {
  StFINDINFO filter = MonthRange(home, 4, endMonth);
  auto rule = PreparedRule<ClRuleShiwake>();
  uint32_t flags = 0;
  int32_t status = rule->CheckExistSwkByZeiRate(&filter, &flags, 1);
  std::printf("CheckExistSwkByZeiRate 4..%d: status %d flags %u\n", endMonth, status, flags);
  for (int32_t type = 0; type <= 6; ++type) {
    int32_t count = -1;
    status = rule->CheckExistSwkByJigyoBunrui(&filter, type, &count);
    std::printf("CheckExistSwkByJigyoBunrui 4..%d type %d: status %d count %d\n", endMonth, type,
                status, count);
  }
}

void PrintLegacyRates(int32_t rate, uint8_t taxIncluded) {
  auto rule = PreparedRule<ClRuleShohizei>();
  const int16_t startKind = 1;
  const int16_t endKind = 15;
  int32_t status = rule->MoveReady(2, &startKind, &endKind, &rate, nullptr, taxIncluded);
  Digest digest;
  int32_t records = 0;
  StTAXSUMINFO record;
  for (;;) {
    std::memset(&record, 0, sizeof(record));
    if (rule->MoveNext(&record) != 0) break;
    digest.Add(&record, sizeof(record));
    ++records;
  }
  rule->MoveFinish();
  std::printf("TaxSums rate %d included %d: status %d records %d digest %016" PRIx64 "\n", rate,
              taxIncluded, status, records, digest.value());
}

// The figures the program's journal aggregation leaves in its tables.
void PrintAggregation(const BenchHome& home, int startMonth, int endMonth) {
  TaxSettings settings;
  if (!PrepareJournalAggregation(home, &settings)) {
    std::printf("Aggregation %d..%d: no tax settings\n", startMonth, endMonth);
    return;
  }
  TaxSummaryTables t;
  const Status status = RunJournalPasses(home, settings, &t, startMonth, endMonth);
  const int32_t failure = status.ok() ? 0 : status.hostCode() != 0 ? status.hostCode() : -1;
  const int64_t* legacy = t.legacyRateSums;
  Digest digest;
  digest.Add(t.rateInfo.get(), sizeof(StTAXREPORTRATEINFO) * t.rateCount);
  digest.Add(t.businessTypeInfo.get(), sizeof(StTAXREPORTBUSINESSTYPEINFO) * t.rateCount * 6);
  digest.Add(legacy, 2 * sizeof(int64_t));
  for (const RefundLine* line : {&t.corpMerchandisePurchases, &t.corpSellingAdminExpenses,
                                 &t.corpNonOperatingExpenses, &t.corpOtherItems}) {
    digest.Add(line, sizeof(*line));
  }
  digest.Add(&t.corpFixedAssets, sizeof(t.corpFixedAssets));
  digest.Add(&t.corpDeferredAssets, sizeof(t.corpDeferredAssets));
  std::printf("Aggregation %d..%d: passes %d host error %d digest %016" PRIx64 "\n", startMonth,
              endMonth, failure == 0 ? 4 : 0, failure, digest.value());
}

}  // namespace
}  // namespace taxlink::bench

int main(int argc, char** argv) {
  using namespace taxlink::bench;
  CheckBenchArguments(argc, argv,
                      "Usage: host_results\nPrints a digest of every summation result on the "
                      "generated data set, to compare before and after a change.\n",
                      [](const std::string&) { return false; });
  const BenchHome& home = CachedBenchHome();
  PrintSumTax(home, 4, 3);
  PrintSumTax(home, 4, 9);
  PrintSumTax(home, 10, 3);
  PrintAccountSums(home, 0);
  PrintAccountSums(home, 7);
  PrintJournalWalk(home, false);
  PrintJournalWalk(home, true);
  PrintChecks(home, 3);
  PrintChecks(home, 9);
  PrintLegacyRates(500, 0);
  PrintLegacyRates(300, 1);
  PrintLegacyRates(800, 0);
  PrintAggregation(home, 4, 3);
  PrintAggregation(home, 4, 9);
  return 0;
}
