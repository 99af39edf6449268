#ifndef TAXLINK_MVHOST_FIXEDASSETMATCH_H_
#define TAXLINK_MVHOST_FIXEDASSETMATCH_H_

#include <cstdint>
#include <vector>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The purchases booked on fixed-asset accounts paired with the fixed-asset
// records, whose acquisitions are what the refund statements take: a
// purchase pairs with a record of its amount, excluding or including its
// tax, acquired on its date, or failing that on any date of the range.
// Deferred assets (kind 9) have no account class of their own and are left
// out.
class FixedAssetMatch {
 public:
  struct Purchase {
    LinePlace place;
    int32_t journal = 0;
    const Account* account = nullptr;
    int32_t date = 0;
    int64_t amount = 0;  // excluding tax
    int64_t tax = 0;
    // A taxable purchase; any other purchase pairs with a record but is not
    // reported without one (land, imports and the like need no record).
    bool taxable = true;
  };
  struct Result {
    std::vector<Purchase> unlisted;           // taxable purchases without a record
    std::vector<const FixedAsset*> unbooked;  // records without a purchase
  };

  void Add(const Purchase& purchase) { purchases_.push_back(purchase); }

  // The records acquired from firstDay to lastDay against the purchases.
  Result Match(const std::vector<FixedAsset>& assets, int32_t firstDay, int32_t lastDay) const;

  static constexpr int32_t kDeferredAssetKind = 9;

 private:
  std::vector<Purchase> purchases_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_FIXEDASSETMATCH_H_
