#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "aggregation/AccountIndex.h"
#include "aggregation/AccountList.h"

namespace taxlink {
namespace {

// The positions a line's two accounts match, against the definition: every
// element whose id is either, in list order, once each. Ids repeat, are out
// of order, negative and beyond the directly indexed range.
TEST(AccountIndexTest, MatchesEveryElementOfEitherAccountInListOrder) {
  const int32_t ids[] = {7, 3, 7, -2, 100000, 3, 0, 7, 100000, -2};
  AccountList list;
  for (int32_t id : ids) {
    StKAMOKUINFO account;
    std::memset(&account, 0, sizeof(account));
    account.accountId = id;
    list.Append(account);
  }
  const AccountIndex index(list);
  const int32_t probes[] = {7, 3, -2, 100000, 0, 5, -9, 200000};
  for (int32_t debit : probes) {
    for (int32_t credit : probes) {
      std::vector<std::size_t> expected;
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (ids[i] == debit || ids[i] == credit) expected.push_back(i);
      }
      std::vector<std::size_t> got;
      index.Matches(debit, credit, &got);
      EXPECT_EQ(got, expected) << debit << " / " << credit;
    }
  }
}

}  // namespace
}  // namespace taxlink
