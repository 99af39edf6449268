#ifndef TAXLINK_MVHOST_DATACSV_H_
#define TAXLINK_MVHOST_DATACSV_H_

#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// Reads journal lines from a UTF-8 CSV file whose first line names the
// columns (docs/data-format.md) and appends them to `lines`. A refusal reads
// "FILE:LINE: COLUMN: message"; nothing is appended then.
bool ReadJournalCsv(const std::string& path, std::vector<JournalLine>* lines, std::string* error);

// Splits one CSV record (no line break inside); false on a broken quote.
bool SplitCsvRecord(const std::string& record, std::vector<std::string>* fields);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATACSV_H_
