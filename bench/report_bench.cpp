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

#include "bench/BenchHome.h"
#include "platform/winfs/WinFileSystem.h"
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

// The figures and settings of a journal run, as the run has them.
struct JournalFigures {
  TaxSettings settings;
  TaxSummaryTables tables;

  ReportInputs inputs() const { return ReportInputs{tables, settings, nullptr, 1}; }
};

bool Aggregate(const BenchHome& home, JournalFigures* run) {
  if (!PrepareJournalAggregation(home, &run->settings)) return false;
  run->settings.record.roundingMode = 1;
  return RunJournalPasses(home, run->settings, &run->tables).ok();
}

void BM_WriteJournalReport(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome(kShape);
  JournalFigures run;
  if (!Aggregate(home, &run)) {
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
    if (!WriteReportFile(run.inputs(), 0, path.c_str(), home.dataSet, ReportSource::kJournals)
             .ok()) {
      state.SkipWithError("the report was not written");
      break;
    }
  }
  std::error_code ignored;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(posixPath, ignored));
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
    JournalFigures run;
    if (!Aggregate(home, &run) ||
        !WriteReportFile(run.inputs(), 0, path.c_str(), home.dataSet, ReportSource::kJournals)
             .ok()) {
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
