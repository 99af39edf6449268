#ifndef TAXLINK_MVHOST_KEPTASSETS_H_
#define TAXLINK_MVHOST_KEPTASSETS_H_

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "mvhost/lib/RecordText.h"

namespace mvhost {

// A fixed asset of a data set as its record carries it, its texts converted
// to Shift_JIS once.
struct KeptAsset {
  int32_t assetId = 0;
  int32_t kind = 0;
  int32_t acquisitionDate = 0;
  int64_t acquisitionAmount = 0;
  uint8_t incomeKind = 0;
  ConvertedText code;
  ConvertedText name;
};

// The fixed assets of dataNo in acquisition date and id order, read once per
// connection and kept while the store is as it was when they were read
// (StoreStamp); kept beside the store with the derived data's check as the
// accounts are (CheckedSnapshot), so a run after it reads none through SQL.
// Shared, so that a query can hand them out after the store moved on.
// Null when a row holds what these records cannot carry as SQL would
// compare it (an id or date that is no 32-bit integer, a number that is no
// integer, a code or name that is no text): the caller then reads SQL as
// before. 0, or a host failure of the reading.
using KeptAssetList = std::shared_ptr<const std::vector<KeptAsset>>;
int32_t KeptAssets(sqlite3* db, int32_t dataNo, KeptAssetList* assets);

// The connection is about to close: what was kept for it is forgotten.
void ForgetKeptAssets(sqlite3* db);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_KEPTASSETS_H_
