#ifndef TAXLINK_MVHOST_CHECKMONTHS_H_
#define TAXLINK_MVHOST_CHECKMONTHS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The journal lines a run over calendar months S..E takes, as its month-range
// filter selects them: the accounting months from the one named S to the one
// named E in accounting order (1..6, the interim adjustment 15, 7..12), the
// interim adjustment also when the range ends in month kind 6 of a year that
// keeps one, and the year-end adjustment 18 when it ends in the year's last
// month.
class MonthSelection {
 public:
  MonthSelection() { MaskKinds(); }

  // The whole accounting period.
  static bool WholePeriod(const DataSetInfo& info, MonthSelection* out, std::string* error);
  // Calendar months S..E; false with a message when they are not months of
  // the period, the first not after the second.
  static bool OfMonths(const DataSetInfo& info, int startMonth, int endMonth, MonthSelection* out,
                       std::string* error);

  bool Contains(int32_t monthKind) const {
    // Asked once or twice for every line: the kinds 0..31 from a mask.
    if (monthKind >= 0 && monthKind < 32) return ((kindMask_ >> monthKind) & 1u) != 0;
    return ContainsByOrder(monthKind);
  }
  // The month kinds of the data format (1..12, 15, 18) that it contains.
  std::vector<int32_t> Kinds() const;

  int startKind() const { return startKind_; }
  int endKind() const { return endKind_; }
  // The first day of month kind S and the last day of month kind E.
  int32_t firstDay() const { return firstDay_; }
  int32_t lastDay() const { return lastDay_; }

 private:
  bool ContainsByOrder(int32_t monthKind) const;
  // Sets kindMask_ from the fields above it.
  void MaskKinds();

  uint32_t kindMask_ = 0;
  int startKind_ = 0;
  int endKind_ = 0;
  bool withInterim_ = false;
  bool withYearEnd_ = false;
  int32_t firstDay_ = 0;
  int32_t lastDay_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CHECKMONTHS_H_
