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

 private:
  std::unordered_map<int32_t, std::vector<std::size_t>> positions_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACCOUNTINDEX_H_
