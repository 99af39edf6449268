// Time to write a complete journal-mode report file: the declaration,
// SYSTEM, BASIC and DATA with both refund statements, from tables filled by
// a real aggregation.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "aggregation/AddTaxDlg.h"
#include "app/LinkApp.h"
#include "bench/BenchHome.h"
#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "platform/WinFileSystem.h"
#include "report/ReportFile.h"

namespace taxlink::bench {
namespace {

// The report does not grow with the journal, so a small data set serves.
constexpr BenchDataSetShape kShape{.journalLines = 20000, .accounts = 300, .departments = 50};

// A temporary folder removed with its files at the end.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/taxlink-report-bench-XXXXXX";
    if (::mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Fills the application's tables and settings as a journal run does.
bool Aggregate(const BenchHome& home, LinkApp* app, StSHOHIZEIINFO* settings) {
  if (!app->ReadTaxSettings(settings, home.dataSet)) return false;
  auto* taxSettings =
      dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  if (taxSettings == nullptr) return false;
  app->runSettings.filingClass = 2;
  app->runSettings.roundingMode = 1;
  app->tables.Allocate(static_cast<int16_t>(taxSettings->GetTaxRateCount()));
  AddTaxDlg dialog(app->runSettings);
  dialog.BuildAggregationFilter(home.dataSet, 4, 3);
  return dialog.SumTaxReturn(app->tables) == 1 &&
         dialog.WalkLegacyRates(app->tables.legacyRateSums, *settings) == 1 &&
         dialog.SumCorporateRefundLines(app->tables, home.dataSet, *settings) == 1;
}

void BM_WriteJournalReport(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome(kShape);
  LinkApp app;
  StSHOHIZEIINFO settings;
  if (!Aggregate(home, &app, &settings)) {
    state.SkipWithError("the aggregation failed");
    return;
  }
  TempFolder folder;
  std::string posixPath = folder.path() + "/report.xml";
  std::string path = platform::ToWindowsPath(posixPath);
  if (folder.path().empty() || path.empty()) {
    state.SkipWithError("no temporary folder a drive maps");
    return;
  }
  for (auto _ : state) {
    if (WriteReportFile(app.reportInputs(), 0, path.c_str(), home.dataSet, &settings) != ReportOutcome::kWritten) {
      state.SkipWithError("the report was not written");
      break;
    }
  }
  std::error_code ignored;
  state.counters["bytes"] =
      static_cast<double>(std::filesystem::file_size(posixPath, ignored));
}
BENCHMARK(BM_WriteJournalReport)->Unit(benchmark::kMillisecond);

// The journal run from the filter to the file.
void BM_AggregateAndWriteReport(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome(kShape);
  TempFolder folder;
  std::string path = platform::ToWindowsPath(folder.path() + "/report.xml");
  if (folder.path().empty() || path.empty()) {
    state.SkipWithError("no temporary folder a drive maps");
    return;
  }
  for (auto _ : state) {
    LinkApp app;
    StSHOHIZEIINFO settings;
    if (!Aggregate(home, &app, &settings) ||
        WriteReportFile(app.reportInputs(), 0, path.c_str(), home.dataSet, &settings) != ReportOutcome::kWritten) {
      state.SkipWithError("the run failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * home.journalLines);
}
BENCHMARK(BM_AggregateAndWriteReport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace taxlink::bench

BENCHMARK_MAIN();
