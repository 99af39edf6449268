#include "aggregation/ProgressSink.h"

namespace taxlink {

namespace {

class NoProgress final : public ProgressSink {
 public:
  void OverallAdvance(int16_t, int16_t) override {}
  void DetailReset() override {}
  void DetailComplete() override {}
  void DetailSweep() override {}
  void DetailSweeps(uint64_t) override {}
  void DetailTick() override {}
  void DetailTicks(uint64_t) override {}
  void DetailTicksEach(uint64_t, uint64_t) override {}
};

}  // namespace

ProgressSink& ProgressSink::None() {
  static NoProgress none;
  return none;
}

}  // namespace taxlink
