#ifndef TAXLINK_AGGREGATION_PROGRESSSINK_H_
#define TAXLINK_AGGREGATION_PROGRESSSINK_H_

#include <cstdint>

namespace taxlink {

// Where the aggregation engine reports its progress: the progress window
// (AddTaxDlg), or None() for a run that shows nothing.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;

  // The whole run moved from..to (both included, of 0..1000).
  virtual void OverallAdvance(int16_t from, int16_t to) = 0;
  // A pass starts its detail activity afresh, or a walk has ended it.
  virtual void DetailReset() = 0;
  virtual void DetailComplete() = 0;
  // One full sweep of the detail activity, or count of them at once.
  virtual void DetailSweep() = 0;
  virtual void DetailSweeps(uint64_t count) = 0;
  // One record walked, or count of them at once.
  virtual void DetailTick() = 0;
  virtual void DetailTicks(uint64_t count) = 0;
  // What records calls of DetailTicks(perRecord) leave: a walk gives the
  // ticks of many records at once.
  virtual void DetailTicksEach(uint64_t perRecord, uint64_t records) {
    for (uint64_t i = 0; i < records; ++i) DetailTicks(perRecord);
  }

  // A sink that shows nothing.
  static ProgressSink& None();
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_PROGRESSSINK_H_
