// What the progress window costs in each front end: one progress operation
// (almost always one that repaints nothing), and the journal aggregation of a
// million lines behind a shown progress window as the run does it (the four
// overall advances around the passes). Argument desktop: 0 the scripted front
// end, 1 the desktop front end (Qt's offscreen platform unless
// QT_QPA_PLATFORM names another), -1 the same passes with no window (the
// baseline, measured first and last).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "aggregation/AddTaxDlg.h"
#include "aggregation/AggregationEngine.h"
#include "aggregation/ProgressDialog.h"
#include "bench/BenchHome.h"
#include "desktop/DesktopUi.h"
#include "platform/ui/ScriptedUi.h"

namespace taxlink::bench {
namespace {

// The front end of a benchmark for its life.
class FrontEnd {
 public:
  explicit FrontEnd(const benchmark::State& state) {
    std::unique_ptr<platform::UserInterface> ui;
    if (state.range(0) <= 0) {
      ui = std::make_unique<platform::ScriptedUi>("");
    } else {
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
      desktop::EnsureApplication();
      auto windows = std::make_unique<desktop::DesktopUi>();
      desktop_ = windows.get();
      ui = std::move(windows);
    }
    previous_ = platform::SetUi(std::move(ui));
  }
  ~FrontEnd() { platform::SetUi(std::move(previous_)); }
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;

  // Repaints of the desktop front end's windows, for the counters.
  double Repaints() const {
    return desktop_ != nullptr ? static_cast<double>(desktop_->ModelessRepaints()) : 0;
  }

 private:
  std::unique_ptr<platform::UserInterface> previous_;
  desktop::DesktopUi* desktop_ = nullptr;
};

void BM_DetailTick(benchmark::State& state) {
  FrontEnd ui(state);
  ProgressDialog progress;
  progress.CreateModeless();
  progress.ShowWindow(true);
  progress.ResetDetail();
  for (auto _ : state) progress.detailTick();
  state.counters["repaints"] = ui.Repaints();
}
BENCHMARK(BM_DetailTick)->ArgName("desktop")->Arg(0)->Arg(1);

// The journal aggregation of a year as the run has the engine do it, behind
// a progress window that is shown, or with no progress sink at all (the
// baseline).
bool RunYear(const BenchHome& home, const TaxSettings& settings, bool shown) {
  TaxSummaryTables tables;
  if (!shown) return RunJournalPasses(home, settings, &tables).ok();
  AggregationEngine engine(home.dataSet, 4, 3, settings);
  AddTaxDlg dialog;
  dialog.CreateModeless();
  dialog.ShowWindow(true);
  return dialog.RunEngine(engine, &tables).ok();
}

// desktop: 0 scripted, 1 desktop, -1 no window at all.
void BM_JournalRunShown(benchmark::State& state) {
  const BenchHome& home = CachedBenchHome();
  FrontEnd ui(state);
  TaxSettings settings;
  if (!PrepareJournalAggregation(home, &settings)) {
    state.SkipWithError("no tax settings");
    return;
  }
  for (auto _ : state) {
    if (!RunYear(home, settings, state.range(0) >= 0)) {
      state.SkipWithError("an aggregation pass failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * home.journalLines);
  state.counters["repaints"] = ui.Repaints();
}
BENCHMARK(BM_JournalRunShown)
    ->ArgName("desktop")
    ->Arg(-1)
    ->Arg(0)
    ->Arg(1)
    ->Arg(-1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace taxlink::bench

BENCHMARK_MAIN();
