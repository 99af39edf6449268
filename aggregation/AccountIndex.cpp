#include "aggregation/AccountIndex.h"

#include <algorithm>
#include <utility>

namespace taxlink {

namespace {
constexpr int32_t kDenseIds = 1 << 16;
}  // namespace

AccountIndex::AccountIndex(const AccountList& list) {
  // The positions sorted by id, in list order within an id: one array, not a
  // list per id (a pass's index was hundreds of small allocations).
  std::vector<std::pair<int32_t, std::size_t>> byId;
  byId.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const int32_t id = list[i].accountId;  // copied out of the packed record
    byId.emplace_back(id, i);
  }
  std::sort(byId.begin(), byId.end());
  positions_.reserve(byId.size());
  for (std::size_t at = 0; at < byId.size();) {
    const int32_t id = byId[at].first;
    Range range{static_cast<uint32_t>(positions_.size()), 0};
    for (; at < byId.size() && byId[at].first == id; ++at) positions_.push_back(byId[at].second);
    range.end = static_cast<uint32_t>(positions_.size());
    if (id >= 0 && id < kDenseIds) {
      const auto dense = static_cast<std::size_t>(id);
      if (dense_.size() <= dense) dense_.resize(dense + 1);
      dense_[dense] = range;
    } else {
      sparse_[id] = range;
    }
  }
}

AccountIndex::Range AccountIndex::FindSparse(int32_t id) const {
  if (sparse_.empty()) return Range{};
  auto found = sparse_.find(id);
  return found != sparse_.end() ? found->second : Range{};
}

void AccountIndex::Matches(int32_t debitId, int32_t creditId, std::vector<std::size_t>* out) const {
  out->clear();
  ForEachMatch(debitId, creditId, [out](std::size_t position) { out->push_back(position); });
}

}  // namespace taxlink
