#include "aggregation/AccountIndex.h"

#include <map>

namespace taxlink {

namespace {
constexpr int32_t kDenseIds = 1 << 16;
}  // namespace

AccountIndex::AccountIndex(const AccountList& list) {
  std::map<int32_t, std::vector<std::size_t>> byId;
  for (std::size_t i = 0; i < list.size(); ++i) byId[list[i].accountId].push_back(i);
  for (const auto& [id, positions] : byId) {
    Range range{static_cast<uint32_t>(positions_.size()), 0};
    positions_.insert(positions_.end(), positions.begin(), positions.end());
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
