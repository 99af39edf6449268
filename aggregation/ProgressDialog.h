#ifndef TAXLINK_AGGREGATION_PROGRESSDIALOG_H_
#define TAXLINK_AGGREGATION_PROGRESSDIALOG_H_

#include <cstdint>

#include "platform/dialog/Dialog.h"
#include "platform/text/WinTypes.h"

namespace taxlink {

// The progress window (dialog 131) shown while journal aggregation runs: an
// overall bar for the whole run and a detail bar for activity within a pass.
// No message loop runs during aggregation, so every operation repaints the
// window itself.
class ProgressDialog : public platform::Dialog {
 public:
  explicit ProgressDialog(HWND parent = 0);
  ~ProgressDialog() override;

  // Creates the window modeless and hidden; data exchange binds the bars.
  void CreateModeless();

  // Overall bar: range 0..1000, step 1, position 0.
  void ResetOverall();
  // One overall step (with a caption "集計中 n％" on every tenth value and a
  // full detail sweep) for each value from..to, both included.
  void overallAdvance(int16_t from, int16_t to);
  // Eleven steps of a freshly reset 0..10 detail bar, each with the window
  // brought to the front and repainted.
  void detailSweep();
  // What count sweeps leave, at the cost of one: each starts the bar afresh,
  // so all of them end where one does.
  void detailSweeps(uint64_t count);
  // One detail step; every eleventh call restarts the bar at 0 and brings the
  // window to the front. Inline: the passes call it once per journal line.
  void detailTick() {
    if (detailTickCounter_ >= kDetailMax) {
      RestartDetail();
      return;
    }
    ++detailTickCounter_;
    if (detailBar_ != nullptr) platform::Dialog::StepBar(*detailBar_);
    UpdateWindow();
  }
  // What count calls of detailTick leave, at the cost of a few: the bar and
  // the counter end where they would, the window comes to the front when one
  // of them would have restarted the bar, and it is repainted once.
  void detailTicks(uint64_t count) {
    // The usual batch, inline: a bar as the passes keep it (0..10, step 1)
    // that the batch restarts. A restart sets 0 and steps, so the state
    // after it repeats every eleven ticks whatever came before.
    const uint64_t untilRestart = kCycle - static_cast<uint64_t>(detailTickCounter_);
    platform::Control* bar = detailBar_;
    if (count >= untilRestart && bar != nullptr && bar->rangeMin == 0 &&
        bar->rangeMax == kDetailMax && bar->step == 1) {
      const uint64_t since = (count - untilRestart) % kCycle;
      detailTickCounter_ = static_cast<int32_t>(since);
      bar->position = since == kDetailMax ? 0 : static_cast<int>(since) + 1;
      // Brought to the front and repainted: the front end hears of it once.
      CountFoldedOperations(0, 2);
      UpdateWindow();
      return;
    }
    OtherDetailTicks(count);
  }
  // What records calls of detailTicks(perRecord) leave, the window repainted
  // once: the bar, the counter, and the raises and repaints counted.
  void detailTicksEach(uint64_t perRecord, uint64_t records);
  // Hides the window (result 1); it stays alive until destroyed.
  void End();

  // Detail bar range 0..10, step 1, position 0 and tick counter 0: the state a
  // pass starts from.
  void ResetDetail();
  // Detail bar at 10 and tick counter 10: the state a walk ends in.
  void CompleteDetail();

  int32_t detailTickCounter() const { return detailTickCounter_; }
  bool barsBound() const { return barsBound_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(bool saveAndValidate) override;
  // Sets the caption to "集計中 percent％".
  virtual void ShowPercent(int percent);

 private:
  static constexpr int kDetailMax = 10;
  static constexpr uint64_t kCycle = kDetailMax + 1;

  void StepBar(int id);
  // One detailTick without its window operations; true when the bar restarted.
  bool AdvanceDetail();
  // The detailTick that restarts the bar.
  void RestartDetail();
  // detailTicks for the batches its inline part leaves.
  void OtherDetailTicks(uint64_t count);

  bool barsBound_ = false;
  platform::Control* detailBar_ = nullptr;  // bound with the bars
  int32_t detailTickCounter_ = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_PROGRESSDIALOG_H_
