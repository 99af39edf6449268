#ifndef TAXLINK_MVHOST_TAXLINETRACER_H_
#define TAXLINK_MVHOST_TAXLINETRACER_H_

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "host/StFINDINFO.h"
#include "host/StKAMOKUINFO.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "host/TaxLineTrace.h"
#include "mvhost/lib/LinePredicate.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/TaxReturnSums.h"

namespace mvhost {

// Hands a sink each side of a packed line that the return summation adds
// into the rate rows, with the figures it adds to: the lines of the trace,
// whichever walk reads them (TraceTax's own, or a journal walk that reports
// them as it passes them). A side without an account adds nothing, as in
// SumTax.
class TaxLineTracer {
 public:
  // Compiles the summation's filter and reads the accounts' codes and names
  // (once); 0 or the host's error. rates labels the rows as for SumTax.
  int32_t Open(sqlite3* db, int32_t dataNo, const StFINDINFO* filter,
               const StTAXREPORTRATEINFO* rates, TaxLineSink* sink);
  // The line's sides, debit first, when the filter takes the line; 0, or
  // kErrOverflow, or kErrTraceStopped when the sink stopped the walk.
  int32_t Report(const PackedLine& line);

 private:
  // As long as the host's account record holds them.
  struct AccountText {
    char code[sizeof(StKAMOKUINFO::code)];
    char name[sizeof(StKAMOKUINFO::name)];
  };
  std::unordered_map<int32_t, AccountText> accounts_;
  LinePredicate predicate_;
  // TaxReturnSums::Summed of each class 0..255 (none beyond), asked once:
  // a side asks it as a load instead of a call.
  std::array<bool, 256> summed_{};
  std::optional<TaxReturnSums> sums_;
  TaxLineSink* sink_ = nullptr;
  TaxLineSide side_{};
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_TAXLINETRACER_H_
