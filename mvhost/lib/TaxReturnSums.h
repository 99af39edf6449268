#ifndef TAXLINK_MVHOST_TAXRETURNSUMS_H_
#define TAXLINK_MVHOST_TAXRETURNSUMS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/StTAXREPORTBUSINESSTYPEINFO.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "host/TaxLineTrace.h"

namespace mvhost {

// The return summation's arithmetic, apart from where the lines come from:
// lines (or groups of lines with their amounts already added up) are added
// side by side under their tax classes' rules (TaxClassRules.h) into the
// row of their rate; then securities count at 1/20, a totals row adds up
// the rate rows, and the rows are written into the caller's records.
class TaxReturnSums {
 public:
  static constexpr int kBusinessTypes = 6;

  // Row k sums the lines at the rate the caller labelled rates[k] with (8, 5
  // and 3 % for rows left unlabelled), whatever rates the data set lists.
  explicit TaxReturnSums(const StTAXREPORTRATEINFO* rates);

  // Adds both sides of a line or group at the effective rate; false when a
  // figure overflows. A side whose class is unknown, or a summed side at a
  // rate no row has, is left out and remembered (leftOut).
  bool Add(int64_t rate, int businessType, int debitTaxClass, int creditTaxClass,
           int64_t debitAmount, int64_t debitTax, int64_t creditAmount, int64_t creditTax);
  // The figures one side of a line adds to, into side->targets (none for a
  // class that is not summed or a rate no row has), under the same rules as
  // Add. False when the amounts overflow.
  bool Targets(int64_t rate, int businessType, int taxClass, bool debitSide, int64_t amount,
               int64_t tax, TaxLineSide* side) const;
  // Whether sides of the class add to any figure (Targets gives them none
  // otherwise), so that a walk can pass them by.
  static bool Summed(int taxClass);
  // Securities at 1/20 and the totals row; false when a total overflows.
  bool Finish();
  // Writes the rate rows and the totals row with their six business-type
  // records each (the caller's tables hold rows() rows).
  void Write(StTAXREPORTRATEINFO* rates, StTAXREPORTBUSINESSTYPEINFO* businessTypes) const;

  size_t rows() const { return rows_.size(); }
  bool leftOut() const { return leftOut_; }

 private:
  // The figures of one row, by byte offset in StTAXREPORTRATEINFO / 8.
  struct Row {
    int64_t figures[sizeof(StTAXREPORTRATEINFO) / 8] = {};
    int64_t securities = 0;  // class 4 sales before the 1/20
    // Per business type: sales incl, tax, excl, then returns incl, tax, excl.
    int64_t business[kBusinessTypes][6] = {};
  };

  size_t RowOfRate(int64_t rate) const;

  std::vector<int32_t> rowRate_;
  std::vector<Row> rows_;
  bool leftOut_ = false;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_TAXRETURNSUMS_H_
