// What a progress operation costs with each front end: the model reports
// every detailTick to the front end, so the terminal front end's report
// must stay a few instructions when it does not repaint. Run it in a
// terminal to include the repaints (at most about 30 a second); without one
// the progress window is painted nowhere and only the report is measured.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>

#include "aggregation/ProgressDialog.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/NoneUi.h"
#include "terminal/TerminalUi.h"

namespace {

void RunTicks(benchmark::State& state, std::unique_ptr<platform::UserInterface> ui) {
  std::unique_ptr<platform::UserInterface> previous = platform::SetUi(std::move(ui));
  {
    taxlink::ProgressDialog progress;
    progress.CreateModeless();
    progress.ResetOverall();
    progress.ResetDetail();
    progress.ShowWindow(isatty(STDOUT_FILENO) == 1);
    for (auto _ : state) progress.detailTick();
    progress.End();
  }
  terminal::ReleaseTerminal();
  platform::SetUi(std::move(previous));
  state.SetItemsProcessed(state.iterations());
}

void BM_DetailTickNoFrontEnd(benchmark::State& state) {
  RunTicks(state, std::make_unique<platform::NoneUi>());
}
BENCHMARK(BM_DetailTickNoFrontEnd);

void BM_DetailTickTerminal(benchmark::State& state) {
  // The factory sets the terminal up as the program does (locale, checks).
  std::unique_ptr<platform::UserInterface> ui = terminal::MakeTerminalUi();
  if (ui == nullptr) ui = std::make_unique<terminal::TerminalUi>(std::string());
  RunTicks(state, std::move(ui));
}
BENCHMARK(BM_DetailTickTerminal)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
