#include "aggregation/ProgressDialog.h"

#include <cstdio>

#include "resources/ProgressDialogTemplate.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {
constexpr int kOverallMax = 1000;
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
  detailBar_ = barsBound_ ? GetControl(kIdcDetailBar) : nullptr;
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
  std::snprintf(caption, sizeof(caption), texts::kProgressCaptionPercent, percent);
  SetCaption(caption);
}

void ProgressDialog::overallAdvance(int16_t from, int16_t to) {
  // An int counter: a 16-bit one would never pass a `to` of 32767. Every
  // sweep of the detail bar ends in the state the first one leaves (its
  // range, step and position are set anew, nothing else moves that bar), so
  // the later ones are counted, not made: a thousand steps made 12 000
  // sweep steps, a thirtieth of a short run's work.
  for (int i = from; i <= to; ++i) {
    if (i % 10 == 0) ShowPercent(i / 10);
    StepBar(kIdcOverallBar);
    if (i == from) {
      detailSweep();
    } else {
      CountFoldedOperations(kSweepSteps, int64_t{kSweepSteps} * 2);
    }
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

void ProgressDialog::detailSweeps(uint64_t count) {
  if (count == 0) return;
  detailSweep();
  const auto folded = static_cast<int64_t>(count - 1);
  CountFoldedOperations(folded * kSweepSteps, folded * kSweepSteps * 2);
}

bool ProgressDialog::AdvanceDetail() {
  detailTickCounter_ = detailTickCounter_ >= kDetailMax ? 0 : detailTickCounter_ + 1;
  const bool restart = detailTickCounter_ == 0;
  if (detailBar_ != nullptr) {
    if (restart) SetBarPosition(*detailBar_, 0);
    platform::Dialog::StepBar(*detailBar_);
  }
  return restart;
}

void ProgressDialog::RestartDetail() {
  AdvanceDetail();
  BringWindowToTop();
  SetForegroundWindow();
  UpdateWindow();
}

void ProgressDialog::OtherDetailTicks(uint64_t count) {
  if (count == 0) return;
  // The counter restarts after 11 - c ticks and then every eleven.
  const uint64_t untilRestart = kCycle - static_cast<uint64_t>(detailTickCounter_);
  const bool restarted = count >= untilRestart;
  platform::Control* bar = detailBar_;
  if (bar == nullptr || (bar->rangeMin == 0 && bar->rangeMax == kDetailMax && bar->step == 1 &&
                         bar->position >= 0 && bar->position <= kDetailMax)) {
    // The bar as the passes keep it (0..10, step 1): a step past 10 starts at
    // 0, a restart sets 0 and steps, so both are counted in closed form.
    uint64_t position = 0;
    if (restarted) {
      const uint64_t since = (count - untilRestart) % kCycle;
      detailTickCounter_ = static_cast<int32_t>(since);
      position = since == kDetailMax ? 0 : since + 1;
    } else {
      detailTickCounter_ += static_cast<int32_t>(count);
      if (bar != nullptr) position = static_cast<uint64_t>(bar->position) + count;
      if (position > kDetailMax) position -= kCycle;
    }
    if (bar != nullptr) SetBarPosition(*bar, static_cast<int>(position));
  } else {
    // Any other bar: any eleven ticks in a row restart it once, and from a
    // restart on the state repeats every eleven ticks.
    const uint64_t steps = count <= 2 * kCycle ? count : kCycle + (count - kCycle) % kCycle;
    for (uint64_t i = 0; i < steps; ++i) AdvanceDetail();
  }
  // Brought to the front and repainted: the front end hears of it once.
  if (restarted) CountFoldedOperations(0, 2);
  UpdateWindow();
}

void ProgressDialog::detailTicksEach(uint64_t perRecord, uint64_t records) {
  platform::Control* bar = detailBar_;
  const bool passBar =
      bar == nullptr || (bar->rangeMin == 0 && bar->rangeMax == kDetailMax && bar->step == 1);
  if (perRecord < kCycle || !passBar) {
    for (uint64_t i = 0; i < records; ++i) detailTicks(perRecord);
    return;
  }
  if (records == 0) return;
  // Each call restarts the bar and leaves the counter at (counter +
  // perRecord) mod 11, brought to the front and repainted.
  const uint64_t since =
      (static_cast<uint64_t>(detailTickCounter_) + (perRecord % kCycle) * (records % kCycle)) %
      kCycle;
  detailTickCounter_ = static_cast<int32_t>(since);
  if (bar != nullptr) bar->position = since == kDetailMax ? 0 : static_cast<int>(since) + 1;
  CountFoldedOperations(static_cast<int64_t>(records) - 1, 2 * static_cast<int64_t>(records));
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
