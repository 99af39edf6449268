#include "app/ProgressDialog.h"

#include <cstdio>

#include "resources/ProgressDialogTemplate.h"

namespace taxlink {

namespace {
constexpr int kOverallMax = 1000;
constexpr int kDetailMax = 10;
constexpr int kSweepSteps = 11;
}  // namespace

ProgressDialog::ProgressDialog(HWND parent) : platform::Dialog(ProgressDialogTemplate(), parent) {}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::CreateModeless() {
  if (!IsCreated()) Create();
}

bool ProgressDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void ProgressDialog::DoDataExchange(bool /*saveAndValidate*/) {
  barsBound_ = GetControl(kIdcDetailBar) != nullptr && GetControl(kIdcOverallBar) != nullptr;
}

void ProgressDialog::StepBar(int id) {
  if (barsBound_) ProgressStepIt(id);
}

void ProgressDialog::ResetOverall() {
  if (!barsBound_) return;
  ProgressSetRange(kIdcOverallBar, 0, kOverallMax);
  ProgressSetStep(kIdcOverallBar, 1);
  ProgressSetPos(kIdcOverallBar, 0);
}

void ProgressDialog::ShowPercent(int percent) {
  char caption[21] = {};
  std::snprintf(caption, sizeof(caption), "集計中 %d％", percent);
  SetCaption(caption);
}

void ProgressDialog::overallAdvance(int16_t from, int16_t to) {
  // An int counter: a 16-bit one would never pass a `to` of 32767.
  for (int i = from; i <= to; ++i) {
    if (i % 10 == 0) ShowPercent(i / 10);
    StepBar(kIdcOverallBar);
    detailSweep();
    UpdateWindow();
  }
}

void ProgressDialog::detailSweep() {
  if (barsBound_) {
    ProgressSetRange(kIdcDetailBar, 0, kDetailMax);
    ProgressSetStep(kIdcDetailBar, 1);
    ProgressSetPos(kIdcDetailBar, 0);
  }
  for (int i = 0; i < kSweepSteps; ++i) {
    StepBar(kIdcDetailBar);
    BringWindowToTop();
    SetForegroundWindow();
    UpdateWindow();
  }
}

bool ProgressDialog::AdvanceDetail() {
  detailTickCounter_ = detailTickCounter_ >= kDetailMax ? 0 : detailTickCounter_ + 1;
  const bool restart = detailTickCounter_ == 0;
  if (restart && barsBound_) ProgressSetPos(kIdcDetailBar, 0);
  StepBar(kIdcDetailBar);
  return restart;
}

void ProgressDialog::detailTick() {
  if (AdvanceDetail()) {
    BringWindowToTop();
    SetForegroundWindow();
  }
  UpdateWindow();
}

void ProgressDialog::detailTicks(uint64_t count) {
  if (count == 0) return;
  // Any eleven ticks in a row restart the bar once, and from a restart on the
  // state repeats every eleven ticks: count ticks end where the first eleven
  // plus (count - 11) mod 11 more do.
  constexpr uint64_t kCycle = kDetailMax + 1;
  const uint64_t steps = count <= 2 * kCycle ? count : kCycle + (count - kCycle) % kCycle;
  bool restarted = false;
  for (uint64_t i = 0; i < steps; ++i) restarted = AdvanceDetail() || restarted;
  if (restarted) {
    BringWindowToTop();
    SetForegroundWindow();
  }
  UpdateWindow();
}

void ProgressDialog::ResetDetail() {
  if (barsBound_) {
    ProgressSetRange(kIdcDetailBar, 0, kDetailMax);
    ProgressSetStep(kIdcDetailBar, 1);
    ProgressSetPos(kIdcDetailBar, 0);
  }
  detailTickCounter_ = 0;
}

void ProgressDialog::CompleteDetail() {
  if (barsBound_) ProgressSetPos(kIdcDetailBar, kDetailMax);
  detailTickCounter_ = kDetailMax;
}

void ProgressDialog::End() { EndDialog(1); }

}  // namespace taxlink
