#ifndef TAXLINK_AGGREGATION_ACCOUNTLIST_H_
#define TAXLINK_AGGREGATION_ACCOUNTLIST_H_

#include <cstddef>
#include <vector>

#include "host/StKAMOKUINFO.h"
#include "status/Status.h"

namespace taxlink {

class ProgressSink;

// The accounts of an account-class selection list: copies of the host's
// account records in the order the host walked them.
class AccountList {
 public:
  // Refills the list with the accounts of a selection list (1..3) that are
  // not excluded, one detail tick per account walked. A walk that ends on a
  // host failure, or no accounts set object, leaves the list empty and
  // returns the failure; an unknown list leaves it empty.
  Status Build(int list, ProgressSink& progress);

  void Clear() { accounts_.clear(); }
  void Append(const StKAMOKUINFO& account) { accounts_.push_back(account); }
  std::size_t size() const { return accounts_.size(); }
  bool empty() const { return accounts_.empty(); }
  const StKAMOKUINFO& operator[](std::size_t i) const { return accounts_[i]; }
  std::vector<StKAMOKUINFO>::const_iterator begin() const { return accounts_.begin(); }
  std::vector<StKAMOKUINFO>::const_iterator end() const { return accounts_.end(); }

 private:
  std::vector<StKAMOKUINFO> accounts_;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACCOUNTLIST_H_
