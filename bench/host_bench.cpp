// Time per call of the embedded host's summation queries on a data set of a
// million journal lines, against the time SQLite needs to scan the lines once.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>

#include "aggregation/AggregationEngine.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/NestedFilter.h"
#include "aggregation/RuleObjects.h"
#include "bench/BenchHome.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/ClSetShohizei.h"
#include "host/HostStatus.h"
#include "host/StSHOHIZEIINFO.h"

namespace taxlink::bench {
namespace {

// The month-range filter of the calendar months startMonth..endMonth.
StFINDINFO MonthRangeFilter(const BenchHome& home, int startMonth, int endMonth) {
  return AggregationEngine(home.dataSet, startMonth, endMonth, TaxSettings{}).filter();
}

// Months 4..3 (the whole year with both adjustments) or 4..9 (the first
// half with the interim adjustment).
int EndMonthOf(const benchmark::State& state) { return state.range(0) == 12 ? 3 : 9; }

// A read-only connection of our own for the SQL baselines.
class RawStore {
 public:
  explicit RawStore(const BenchHome& home) {
    std::string path = home.home + "/host.db";
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
  }
  ~RawStore() { sqlite3_close_v2(db_); }
  RawStore(const RawStore&) = delete;
  RawStore& operator=(const RawStore&) = delete;

  // The first column of the first row of sql with ?1 = dataNo; false on error.
  bool Query(const char* sql, int64_t dataNo, int64_t* out) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) return false;
    sqlite3_bind_int64(stmt, 1, dataNo);
    bool ok = sqlite3_step(stmt) == SQLITE_ROW;
    if (ok) *out = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return ok;
  }

 private:
  sqlite3* db_ = nullptr;
};

void SetLinesProcessed(benchmark::State& state, const BenchHome& home) {
  state.SetItemsProcessed(state.iterations() * home.journalLines);
}

// Baseline: one pass over the data set's lines summing one column.
void BM_ScanBaseline(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  RawStore store(home);
  // Without the data-set condition SQLite reads the table in its own order;
  // with it, every line of the data set (here: all of them) through the key.
  const char* sql = state.range(0) == 0
                        ? "SELECT SUM(debit_amount) FROM journal_line"
                        : "SELECT SUM(debit_amount) FROM journal_line WHERE data_no = ?1";
  for (auto _ : state) {
    int64_t sum = 0;
    if (!store.Query(sql, home.dataNo, &sum)) {
      state.SkipWithError("the baseline query failed");
      break;
    }
    benchmark::DoNotOptimize(sum);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_ScanBaseline)->ArgName("byDataSet")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SumTax(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO filter = MonthRangeFilter(home, 4, EndMonthOf(state));
  auto* taxSettings =
      dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  std::unique_ptr<ClRuleShohizeiShinkoku> rule = PreparedRule<ClRuleShohizeiShinkoku>();
  if (taxSettings == nullptr || !rule) {
    state.SkipWithError("no tax settings or rule object");
    return;
  }
  const int rows = taxSettings->GetTaxRateCount();
  auto rates = std::make_unique<StTAXREPORTRATEINFO[]>(rows);
  auto types = std::make_unique<StTAXREPORTBUSINESSTYPEINFO[]>(static_cast<std::size_t>(rows) * 6);
  for (auto _ : state) {
    std::memset(rates.get(), 0, sizeof(StTAXREPORTRATEINFO) * rows);
    std::memset(types.get(), 0, sizeof(StTAXREPORTBUSINESSTYPEINFO) * rows * 6);
    int32_t status = rule->SumTax(2, &filter, rates.get(), types.get());
    if (status != 0) {
      state.SkipWithError(("SumTax failed: " + std::to_string(status)).c_str());
      break;
    }
    benchmark::DoNotOptimize(rates[rows - 1]);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_SumTax)->ArgName("months")->Arg(12)->Arg(6)->Unit(benchmark::kMillisecond);

// Account sums of the whole data set (department sum type 0) or of one
// department (type 4), then a walk of every record.
void BM_AccountSums(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO filter = MonthRangeFilter(home, 4, 3);
  std::unique_ptr<ClRuleKamoku> rule = PreparedRule<ClRuleKamoku>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  department.code = 7;
  const int32_t deptSumType = state.range(0) == 0 ? 0 : 4;
  int64_t records = 0;
  for (auto _ : state) {
    int32_t status =
        rule->MoveReady(1, deptSumType, 0, &filter, deptSumType == 4 ? &department : nullptr, 0);
    int32_t count = 0;
    if (status == 0) status = rule->GetSumCount(&count);
    if (status != 0) {
      state.SkipWithError(("MoveReady failed: " + std::to_string(status)).c_str());
      break;
    }
    StKAMOKUSUMINFO record;
    for (;;) {
      std::memset(&record, 0, sizeof(record));
      if (rule->MoveNext(&record) != 0) break;
      ++records;
      benchmark::DoNotOptimize(record.debit[1]);
    }
    rule->MoveFinish();
  }
  state.counters["records"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kAvgIterations);
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_AccountSums)->ArgName("department")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The refund statements' journal walk: the count, then every line whose
// debit or credit class is not a taxable purchase.
void BM_NonTaxableJournalWalk(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO monthRange = MonthRangeFilter(home, 4, 3);
  NestedFilter filter;
  BuildNonTaxablePurchaseFilter(monthRange, &filter);
  std::unique_ptr<ClRuleShiwake> rule = PreparedRule<ClRuleShiwake>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  int64_t walked = 0;
  for (auto _ : state) {
    int32_t count = 0;
    int32_t status = rule->GetSwkCount(&filter.top(), nullptr, &count);
    if (status == 0) status = rule->MoveReady(&filter.top(), nullptr, nullptr, 0);
    if (status != 0) {
      state.SkipWithError(("journal query failed: " + std::to_string(status)).c_str());
      break;
    }
    StSWKTINFO line;
    int32_t lines = 0;
    for (;;) {
      std::memset(&line, 0, sizeof(line));
      if (rule->MoveNext(&line) != 0) break;
      ++lines;
      benchmark::DoNotOptimize(line.debitAmount);
    }
    rule->MoveFinish();
    if (lines != count) {
      state.SkipWithError("the walk and the count disagree");
      break;
    }
    walked += lines;
  }
  state.counters["lines"] =
      benchmark::Counter(static_cast<double>(walked), benchmark::Counter::kAvgIterations);
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_NonTaxableJournalWalk)->Unit(benchmark::kMillisecond);

// The pre-checks' single calls: the rates present, the undetermined import
// classes, the sixth business type.
void BM_CheckExistSwkByZeiRate(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO filter = MonthRangeFilter(home, 4, EndMonthOf(state));
  std::unique_ptr<ClRuleShiwake> rule = PreparedRule<ClRuleShiwake>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  for (auto _ : state) {
    uint32_t flags = 0;
    int32_t status = rule->CheckExistSwkByZeiRate(&filter, &flags, 1);
    if (status != 0) {
      state.SkipWithError(("CheckExistSwkByZeiRate failed: " + std::to_string(status)).c_str());
      break;
    }
    benchmark::DoNotOptimize(flags);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_CheckExistSwkByZeiRate)
    ->ArgName("months")
    ->Arg(12)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond);

void BM_ImportClassCount(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO monthRange = MonthRangeFilter(home, 4, 3);
  NestedFilter filter;
  BuildImportTaxClassFilter(monthRange, &filter);
  std::unique_ptr<ClRuleShiwake> rule = PreparedRule<ClRuleShiwake>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  for (auto _ : state) {
    int32_t count = 0;
    if (rule->GetSwkCount(&filter.top(), nullptr, &count) != 0) {
      state.SkipWithError("GetSwkCount failed");
      break;
    }
    benchmark::DoNotOptimize(count);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_ImportClassCount)->Unit(benchmark::kMillisecond);

void BM_BusinessTypeCount(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  StFINDINFO filter = MonthRangeFilter(home, 4, 3);
  std::unique_ptr<ClRuleShiwake> rule = PreparedRule<ClRuleShiwake>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  for (auto _ : state) {
    int32_t count = 0;
    if (rule->CheckExistSwkByJigyoBunrui(&filter, 6, &count) != 0) {
      state.SkipWithError("CheckExistSwkByJigyoBunrui failed");
      break;
    }
    benchmark::DoNotOptimize(count);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_BusinessTypeCount)->Unit(benchmark::kMillisecond);

// The legacy-rate walk: per account, the lines at 5 % in the month range.
void BM_LegacyRateSums(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  std::unique_ptr<ClRuleShohizei> rule = PreparedRule<ClRuleShohizei>();
  if (!rule) {
    state.SkipWithError("no rule object");
    return;
  }
  const int16_t startKind = 1;
  const int16_t endKind = 18;
  const int32_t rate = 500;
  for (auto _ : state) {
    if (rule->MoveReady(2, &startKind, &endKind, &rate, nullptr, 0) != 0) {
      state.SkipWithError("MoveReady failed");
      break;
    }
    StTAXSUMINFO record;
    for (;;) {
      std::memset(&record, 0, sizeof(record));
      if (rule->MoveNext(&record) != 0) break;
      benchmark::DoNotOptimize(record.amount);
    }
    rule->MoveFinish();
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_LegacyRateSums)->Unit(benchmark::kMillisecond);

// The whole journal aggregation of a year as the run does it: the return,
// the legacy rates and both refund statements.
void BM_JournalAggregation(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  TaxSettings settings;
  if (!PrepareJournalAggregation(home, &settings)) {
    state.SkipWithError("no tax settings");
    return;
  }
  for (auto _ : state) {
    TaxSummaryTables tables;
    if (!RunJournalPasses(home, settings, &tables).ok()) {
      state.SkipWithError("an aggregation pass failed");
      break;
    }
    benchmark::DoNotOptimize(tables.legacyRateSums[0]);
  }
  SetLinesProcessed(state, home);
}
BENCHMARK(BM_JournalAggregation)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace taxlink::bench

BENCHMARK_MAIN();
