#include "mvhost/lib/KeptAssets.h"

#include <algorithm>
#include <climits>
#include <map>
#include <utility>

#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

struct Kept {
  StoreStamp stamp;
  bool usable = false;  // false: a row the records cannot carry
  KeptAssetList assets;
};

using Key = std::pair<sqlite3*, int32_t>;

std::map<Key, Kept>& KeptByConnection() {
  static auto* kept = new std::map<Key, Kept>();
  return *kept;
}

bool Fits32(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// Reads every asset of dataNo; *usable false when a row holds a value that
// SQL would compare or hand out otherwise than its kept form.
int32_t ReadAssets(sqlite3* db, int32_t dataNo, std::vector<KeptAsset>* assets, bool* usable) {
  *usable = true;
  SqlStatement stmt;
  int32_t status = stmt.Prepare(db,
                                "SELECT asset_id, code, name, kind, acquisition_date, "
                                "acquisition_amount, income_kind FROM fixed_asset WHERE data_no = ?",
                                "read the fixed assets");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    bool integers = stmt.Type(1) == SQLITE_TEXT && stmt.Type(2) == SQLITE_TEXT;
    for (int column : {0, 3, 4, 5, 6}) integers = integers && stmt.IsInteger(column);
    if (!integers || !Fits32(stmt.Int(0)) || !Fits32(stmt.Int(4))) {
      *usable = false;
      assets->clear();
      return 0;
    }
    // The same narrowing as the records' fields take from SQL.
    assets->push_back({static_cast<int32_t>(stmt.Int(0)), static_cast<int32_t>(stmt.Int(3)),
                       static_cast<int32_t>(stmt.Int(4)), stmt.Int(5),
                       static_cast<uint8_t>(stmt.Int(6)), ConvertRecordText(stmt.Text(1)),
                       ConvertRecordText(stmt.Text(2))});
  }
  if (step < 0) {
    assets->clear();
    return step;
  }
  // The store's key makes (date, id) unique within a data set.
  std::sort(assets->begin(), assets->end(), [](const KeptAsset& a, const KeptAsset& b) {
    return a.acquisitionDate != b.acquisitionDate ? a.acquisitionDate < b.acquisitionDate
                                                  : a.assetId < b.assetId;
  });
  return 0;
}

}  // namespace

int32_t KeptAssets(sqlite3* db, int32_t dataNo, KeptAssetList* assets) {
  *assets = nullptr;
  StoreStamp stamp;
  int32_t status = ReadStoreStamp(db, &stamp);
  if (status != 0) return status;
  Kept& kept = KeptByConnection()[{db, dataNo}];
  if (!(kept.stamp == stamp)) {
    kept = Kept();
    // Those kept beside the store with the last sound check, while nothing
    // was written since; else read.
    auto list = std::make_shared<std::vector<KeptAsset>>();
    bool found = false;
    ReadSnapshotAssets(db, dataNo, list.get(), &kept.usable, &found);
    if (!found) status = ReadAssets(db, dataNo, list.get(), &kept.usable);
    if (status != 0) {
      KeptByConnection().erase({db, dataNo});
      return status;
    }
    kept.assets = std::move(list);
    kept.stamp = stamp;
  }
  if (kept.usable) *assets = kept.assets;
  return 0;
}

void ForgetKeptAssets(sqlite3* db) {
  auto& kept = KeptByConnection();
  kept.erase(kept.lower_bound({db, INT32_MIN}), kept.upper_bound({db, INT32_MAX}));
}

}  // namespace mvhost
