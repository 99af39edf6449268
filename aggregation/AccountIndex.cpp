#include "aggregation/AccountIndex.h"

#include <algorithm>
#include <iterator>

namespace taxlink {

AccountIndex::AccountIndex(const AccountList& list) {
  for (std::size_t i = 0; i < list.size(); ++i) positions_[list[i].accountId].push_back(i);
}

void AccountIndex::Matches(int32_t debitId, int32_t creditId,
                           std::vector<std::size_t>* out) const {
  out->clear();
  static const std::vector<std::size_t> kNone;
  auto debit = positions_.find(debitId);
  auto credit = debitId == creditId ? positions_.end() : positions_.find(creditId);
  const std::vector<std::size_t>& a = debit != positions_.end() ? debit->second : kNone;
  const std::vector<std::size_t>& b = credit != positions_.end() ? credit->second : kNone;
  std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(*out));
}

}  // namespace taxlink
