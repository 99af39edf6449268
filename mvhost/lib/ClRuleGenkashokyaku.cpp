#include "host/ClRuleGenkashokyaku.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "host/FilterCondition.h"
#include "host/HostStatus.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/KeptAssets.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// ClRuleGenkashokyaku on the store.
class SqliteRuleGenkashokyaku : public BoundObject<ClRuleGenkashokyaku::Impl> {
 public:
  SqliteRuleGenkashokyaku();
  ~SqliteRuleGenkashokyaku() override;
  int32_t MoveReady(const StFINDINFO* filter, int32_t sortType, int32_t sumType) override;
  int32_t GetCount() override;
  int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
               StKOTEITSUKIINFO* month) override;
  int32_t MoveFinish() override;

 private:
  // ReadAssets found a row whose order or failure SQLite must decide.
  static constexpr int32_t kSortInSql = 1;
  // Reads the assets where selects, in date and id order (sorted by
  // SQLite with sqlOrder); 0, kSortInSql or a host failure.
  int32_t ReadAssets(sqlite3* db, int32_t dataNo, const SqlFilter& where, bool sqlOrder);
  // Selects the kept assets the filter holds for; false when the filter or
  // a selected asset's text needs SQL's reading (nothing selected then).
  bool SelectKept(KeptAssetList kept, const StFINDINFO* filter);
  struct Query;
  Query* query_;
};

}  // namespace mvhost

// The selected assets: records read through SQL, or the positions of those
// selected in the kept list, handed out from it (no record of 545 bytes per
// asset kept for the query).
struct mvhost::SqliteRuleGenkashokyaku::Query {
  bool ready = false;
  std::vector<StKOTEISHISANINFO> assets;
  KeptAssetList kept;
  std::vector<uint32_t> selected;
  size_t Count() const { return kept != nullptr ? selected.size() : assets.size(); }
};

mvhost::SqliteRuleGenkashokyaku::SqliteRuleGenkashokyaku() : query_(new Query) {}

mvhost::SqliteRuleGenkashokyaku::~SqliteRuleGenkashokyaku() { delete query_; }

ClRuleGenkashokyaku::Impl* mvhost::NewRuleGenkashokyaku() {
  return new (std::nothrow) SqliteRuleGenkashokyaku;
}

int32_t mvhost::SqliteRuleGenkashokyaku::ReadAssets(sqlite3* db, int32_t dataNo,
                                                    const SqlFilter& where, bool sqlOrder) {
  query_->assets.clear();
  mvhost::SqlStatement stmt;
  int32_t status = stmt.Prepare(
      db,
      "SELECT f.asset_id, f.code, f.name, f.kind, f.acquisition_date, "
      "f.acquisition_amount, f.income_kind FROM fixed_asset f "
      "WHERE f.data_no = ? AND " +
          where.sql +
          (sqlOrder ? " ORDER BY f.acquisition_date, f.asset_id" : " ORDER BY f.acquisition_date"),
      "walk the fixed assets");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  stmt.BindAll(2, where.values);
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    if (!sqlOrder && (!stmt.IsInteger(0) || !stmt.IsInteger(4))) return kSortInSql;
    StKOTEISHISANINFO asset;
    std::memset(&asset, 0, sizeof(asset));
    asset.assetId = static_cast<int32_t>(stmt.Int(0));
    const bool code = mvhost::CopyRecordText(asset.code, sizeof(asset.code), stmt.Text(1));
    if (!code || !mvhost::CopyRecordText(asset.name, sizeof(asset.name), stmt.Text(2))) {
      if (!sqlOrder) return kSortInSql;
      return mvhost::StoreTextError("data set " + std::to_string(dataNo) + ": fixed asset " +
                                    std::to_string(asset.assetId) + (code ? " name" : " code"));
    }
    asset.kind = static_cast<int32_t>(stmt.Int(3));
    const int64_t date = stmt.Int(4);
    const int64_t id = stmt.Int(0);
    if (!sqlOrder && (date != static_cast<int32_t>(date) || id != static_cast<int32_t>(id))) {
      return kSortInSql;
    }
    asset.acquisitionDate = static_cast<int32_t>(date);
    asset.acquisitionAmount = stmt.Int(5);
    asset.incomeKind = static_cast<uint8_t>(stmt.Int(6));
    query_->assets.push_back(asset);
  }
  if (step < 0) return step;
  if (!sqlOrder) {
    std::sort(query_->assets.begin(), query_->assets.end(),
              [](const StKOTEISHISANINFO& a, const StKOTEISHISANINFO& b) {
                const int32_t aDate = a.acquisitionDate, bDate = b.acquisitionDate;
                const int32_t aId = a.assetId, bId = b.assetId;
                return aDate != bDate ? aDate < bDate : aId < bId;
              });
  }
  return 0;
}

bool mvhost::SqliteRuleGenkashokyaku::SelectKept(KeptAssetList kept, const StFINDINFO* filter) {
  std::vector<uint32_t>& selected = query_->selected;
  selected.clear();
  for (size_t i = 0; i < kept->size(); ++i) {
    const KeptAsset& asset = (*kept)[i];
    bool holds = false;
    // A text Shift_JIS lacks fails through SQL's reading, as it always did.
    if (!mvhost::FilterHoldsForValue(filter, kFieldAssetDate, asset.acquisitionDate, &holds) ||
        (holds && (!asset.code.converts || !asset.name.converts))) {
      selected.clear();
      return false;
    }
    if (holds) selected.push_back(static_cast<uint32_t>(i));
  }
  query_->kept = std::move(kept);
  return true;
}

int32_t mvhost::SqliteRuleGenkashokyaku::MoveReady(const StFINDINFO* filter, int32_t /*sortType*/,
                                                   int32_t /*sumType*/) {
  *query_ = Query();
  mvhost::ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  mvhost::SqlFilter where;
  status = mvhost::TranslateFilter(filter, mvhost::FilterTarget::kFixedAsset, &where);
  if (status != 0) return status;
  // The assets kept for the store as it is (beside it with the derived
  // data's check, or read once for the connection); a failure of that
  // reading is met again below and reported as always.
  KeptAssetList kept;
  if (mvhost::KeptAssets(db, dataNo, &kept) == 0 && kept != nullptr) {
    if (SelectKept(std::move(kept), filter)) {
      query_->ready = true;
      return 0;
    }
  }
  // Reserved for every asset of the data set: records of 545 bytes grown one
  // doubling at a time touched twice the memory (pages reserved and not
  // reached by the filter's assets are never touched).
  int64_t assets = 0;
  status =
      mvhost::QueryInt(db, "count the fixed assets",
                       "SELECT count(*) FROM fixed_asset WHERE data_no = ?", {dataNo}, &assets);
  if (status != 0) return status;
  query_->assets.reserve(static_cast<size_t>(assets));
  // In date order by the index, then by id within a date here: asking
  // SQLite for the second key made it sort every row through a temporary
  // tree. A row whose date or id is no integer, or whose text fails, is met
  // again through SQLite's own order, so that the order and the failure
  // reported are what they always were.
  status = ReadAssets(db, dataNo, where, false);
  if (status == kSortInSql) status = ReadAssets(db, dataNo, where, true);
  if (status != 0) {
    query_->assets.clear();
    return status;
  }
  query_->ready = true;
  return 0;
}

int32_t mvhost::SqliteRuleGenkashokyaku::GetCount() {
  return static_cast<int32_t>(query_->Count());
}

int32_t mvhost::SqliteRuleGenkashokyaku::Move(int32_t index, StKOTEISHISANINFO* asset,
                                              StKOTEINENINFO* year, StKOTEITSUKIINFO* month) {
  if (asset == nullptr) return mvhost::kErrBadArgument;
  if (!query_->ready) return mvhost::kErrNotReady;
  if (index < 0 || static_cast<size_t>(index) >= query_->Count()) return kHostEndOfData;
  if (query_->kept != nullptr) {
    const KeptAsset& kept = (*query_->kept)[query_->selected[static_cast<size_t>(index)]];
    std::memset(asset, 0, sizeof(*asset));
    CopyConvertedText(asset->code, sizeof(asset->code), kept.code);
    CopyConvertedText(asset->name, sizeof(asset->name), kept.name);
    asset->assetId = kept.assetId;
    asset->kind = kept.kind;
    asset->acquisitionDate = kept.acquisitionDate;
    asset->acquisitionAmount = kept.acquisitionAmount;
    asset->incomeKind = kept.incomeKind;
  } else {
    std::memcpy(asset, &query_->assets[static_cast<size_t>(index)], sizeof(*asset));
  }
  // The store keeps no depreciation schedule: the year and month records
  // come back empty.
  if (year != nullptr) std::memset(year, 0, sizeof(*year));
  if (month != nullptr) std::memset(month, 0, sizeof(*month));
  return 0;
}

int32_t mvhost::SqliteRuleGenkashokyaku::MoveFinish() {
  *query_ = Query();
  return 0;
}
