#ifndef TAXLINK_AGGREGATION_ACCOUNTINDEX_H_
#define TAXLINK_AGGREGATION_ACCOUNTINDEX_H_

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "aggregation/AccountList.h"

namespace taxlink {

// Where each account id stands in an account list, built once per pass. A
// journal line is matched with the list by looking its two accounts up, not
// by comparing it with every element: the same elements in the same order,
// at a cost per line instead of per line and element.
class AccountIndex {
 public:
  explicit AccountIndex(const AccountList& list);

  // The positions of the elements whose account id is debitId or creditId,
  // in list order (an element matching both appears once).
  void Matches(int32_t debitId, int32_t creditId, std::vector<std::size_t>* out) const;
  // Calls visit(position) for the same elements in the same order, without
  // a list: the journal walks call it once per line.
  template <class Visit>
  void ForEachMatch(int32_t debitId, int32_t creditId, Visit visit) const {
    const Range a = Find(debitId);
    const Range b = debitId == creditId ? Range{} : Find(creditId);
    uint32_t i = a.begin;
    uint32_t j = b.begin;
    while (i < a.end && j < b.end) {
      visit(positions_[j] < positions_[i] ? positions_[j++] : positions_[i++]);
    }
    for (; i < a.end; ++i) visit(positions_[i]);
    for (; j < b.end; ++j) visit(positions_[j]);
  }

 private:
  // The positions of one id: a range of positions_.
  struct Range {
    uint32_t begin = 0;
    uint32_t end = 0;
  };
  Range Find(int32_t id) const {
    if (id >= 0 && static_cast<std::size_t>(id) < dense_.size()) {
      return dense_[static_cast<std::size_t>(id)];
    }
    return FindSparse(id);
  }
  Range FindSparse(int32_t id) const;

  std::vector<std::size_t> positions_;  // grouped by id, in list order within an id
  // Ids 0..dense_.size()-1 are looked up directly (the host's ids are small
  // numbers), others through the map.
  std::vector<Range> dense_;
  std::unordered_map<int32_t, Range> sparse_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACCOUNTINDEX_H_
