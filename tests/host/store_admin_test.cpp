// The data set listing: all of them, or only the numbers named.

#include "mvhost/lib/StoreAdmin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

TEST(StoreAdminTest, ListsOnlyTheNamedDataSetsInNumberOrder) {
  HostFixture host;
  for (int32_t no : {1, 2, 3}) host.AddDataSet({.dataNo = no, .dataId = "D" + std::to_string(no)});
  struct Case {
    const char* name;
    std::vector<int32_t> only;
    bool all;
    std::vector<int32_t> listed;
  };
  for (const Case& c : {Case{"all", {}, true, {1, 2, 3}},
                        Case{"named, out of order, one missing", {3, 9, 1}, false, {1, 3}},
                        Case{"none held", {7}, false, {}}}) {
    std::vector<mvhost::DataSetListing> sets;
    std::string error;
    ASSERT_TRUE(mvhost::ListDataSets(host.Db(), &sets, &error, mvhost::LineCounts::kNotCounted,
                                     c.all ? nullptr : &c.only))
        << c.name << ": " << error;
    std::vector<int32_t> listed;
    listed.reserve(sets.size());
    for (const mvhost::DataSetListing& set : sets) listed.push_back(set.dataNo);
    EXPECT_EQ(listed, c.listed) << c.name;
  }
}

}  // namespace
}  // namespace taxlink::testing
