#include "mvhost/lib/FixedAssetMatch.h"

namespace mvhost {

namespace {

bool SameAmount(const FixedAssetMatch::Purchase& purchase, const FixedAsset& asset) {
  const __int128 gross = static_cast<__int128>(purchase.amount) + purchase.tax;
  return asset.acquisitionAmount == purchase.amount || asset.acquisitionAmount == gross;
}

}  // namespace

FixedAssetMatch::Result FixedAssetMatch::Match(const std::vector<FixedAsset>& assets,
                                               int32_t firstDay, int32_t lastDay) const {
  std::vector<const FixedAsset*> records;
  for (const FixedAsset& asset : assets) {
    if (asset.kind != kDeferredAssetKind && asset.acquisitionDate >= firstDay &&
        asset.acquisitionDate <= lastDay) {
      records.push_back(&asset);
    }
  }
  std::vector<bool> recordPaired(records.size(), false);
  std::vector<bool> purchasePaired(purchases_.size(), false);
  // Pairs of the same date first, so that two assets of one price bought on
  // different days pair with their own purchases.
  for (bool sameDate : {true, false}) {
    for (size_t p = 0; p < purchases_.size(); ++p) {
      if (purchasePaired[p]) continue;
      for (size_t r = 0; r < records.size(); ++r) {
        if (recordPaired[r] || !SameAmount(purchases_[p], *records[r])) continue;
        if (sameDate && records[r]->acquisitionDate != purchases_[p].date) continue;
        recordPaired[r] = true;
        purchasePaired[p] = true;
        break;
      }
    }
  }
  Result result;
  for (size_t p = 0; p < purchases_.size(); ++p) {
    if (!purchasePaired[p] && purchases_[p].taxable) result.unlisted.push_back(purchases_[p]);
  }
  for (size_t r = 0; r < records.size(); ++r) {
    if (!recordPaired[r]) result.unbooked.push_back(records[r]);
  }
  return result;
}

}  // namespace mvhost
