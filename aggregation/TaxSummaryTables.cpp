#include "aggregation/TaxSummaryTables.h"

#include <algorithm>
#include <cstring>

namespace taxlink {

void TaxSummaryTables::Allocate(int16_t rows) {
  int16_t n = std::max<int16_t>(rows, 3);
  rateInfo = std::make_unique<StTAXREPORTRATEINFO[]>(n);
  businessTypeInfo = std::make_unique<StTAXREPORTBUSINESSTYPEINFO[]>(n * kBusinessTypesPerRate);
  std::memset(rateInfo.get(), 0, sizeof(StTAXREPORTRATEINFO) * n);
  std::memset(businessTypeInfo.get(), 0,
              sizeof(StTAXREPORTBUSINESSTYPEINFO) * n * kBusinessTypesPerRate);
  rateCount = n;
}

void TaxSummaryTables::Release() {
  rateInfo.reset();
  businessTypeInfo.reset();
  rateCount = 0;
}

}  // namespace taxlink
