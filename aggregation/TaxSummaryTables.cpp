#include "aggregation/TaxSummaryTables.h"

#include <algorithm>
#include <cstring>

namespace taxlink {

void TaxSummaryTables::Allocate(int16_t rows) {
  int16_t n = std::max<int16_t>(rows, 3);
  const std::size_t businessTypes = static_cast<std::size_t>(n) * kBusinessTypesPerRate;
  rateInfo = std::make_unique<StTAXREPORTRATEINFO[]>(static_cast<std::size_t>(n));
  businessTypeInfo = std::make_unique<StTAXREPORTBUSINESSTYPEINFO[]>(businessTypes);
  std::memset(rateInfo.get(), 0, sizeof(StTAXREPORTRATEINFO) * static_cast<std::size_t>(n));
  std::memset(businessTypeInfo.get(), 0, sizeof(StTAXREPORTBUSINESSTYPEINFO) * businessTypes);
  rateCount = n;
}

void TaxSummaryTables::Release() {
  rateInfo.reset();
  businessTypeInfo.reset();
  rateCount = 0;
}

}  // namespace taxlink
