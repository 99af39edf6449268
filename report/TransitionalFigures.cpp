#include "report/TransitionalFigures.h"

#include <algorithm>
#include <cstddef>

#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "report/RecordFigure.h"

namespace taxlink {

namespace {

// The six amounts of a business-type record that count.
using TypeRecord = StTAXREPORTBUSINESSTYPEINFO;
constexpr std::size_t kTypeFigures[] = {
    offsetof(TypeRecord, salesIncl),  offsetof(TypeRecord, salesTax),
    offsetof(TypeRecord, salesExcl),  offsetof(TypeRecord, returnsIncl),
    offsetof(TypeRecord, returnsTax), offsetof(TypeRecord, returnsExcl),
};

}  // namespace

bool HasTransitionalFigures(const TaxSummaryTables& tables, const TaxSettings& settings) {
  if (!settings.setObjectFound) return false;
  const int count = settings.rateRows();
  // Rows 1 to count - 2: the older rates between the 8 % row and the last.
  const int allocatedRows = tables.rateInfo ? tables.rateCount : 0;
  const int lastOlderRow = std::min(count - 2, allocatedRows - 1);
  for (int row = 1; row <= lastOlderRow; ++row) {
    const StTAXREPORTRATEINFO& info = tables.rateInfo[row];
    for (std::size_t i = 0; i < StTAXREPORTRATEINFO::kFigureCount; ++i) {
      if (RecordFigure(&info, StTAXREPORTRATEINFO::kFirstFigureOffset + 8 * i) != 0) return true;
    }
  }
  if (tables.legacyRateSums[1] != 0) return true;
  if (count - 1 <= 1) return false;
  const int allocatedRecords = tables.businessTypeInfo ? allocatedRows * kBusinessTypesPerRate : 0;
  const int endRecord = std::min(kBusinessTypesPerRate * (count - 1), allocatedRecords);
  for (int j = kBusinessTypesPerRate; j < endRecord; ++j) {
    for (std::size_t offset : kTypeFigures) {
      if (RecordFigure(&tables.businessTypeInfo[j], offset) != 0) return true;
    }
  }
  return false;
}

}  // namespace taxlink
