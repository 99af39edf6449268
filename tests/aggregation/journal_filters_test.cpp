#include "aggregation/JournalFilters.h"

#include <gtest/gtest.h>

#include <vector>

#include "aggregation/AccountClasses.h"
#include "aggregation/AggregationFilter.h"
#include "host/FilterGroupRegistry.h"

namespace taxlink {
namespace {

const FilterCondition* Resolve(const FilterCondition& group) {
  EXPECT_EQ(group.fieldId, kFieldGroup);
  EXPECT_NE(group.groupRef, 0u);
  return ClFilterGroupRegistry::Inst()->Resolve(group.groupRef);
}

// The conditions of an array up to the one whose link is 0.
std::vector<FilterCondition> Members(const FilterCondition* array) {
  std::vector<FilterCondition> members;
  for (int i = 0; array != nullptr && i < 64; ++i) {
    members.push_back(array[i]);
    if (array[i].link == kLinkLast) break;
  }
  return members;
}

void ExpectTaxClass(const FilterCondition& c, int16_t side, int16_t op, int32_t value,
                    int16_t link) {
  EXPECT_EQ(c.fieldId, kFieldTaxClass);
  EXPECT_EQ(c.side, side);
  EXPECT_EQ(c.op, op);
  EXPECT_EQ(c.valueType, kValueInt32);
  EXPECT_EQ(c.value, value);
  EXPECT_EQ(c.link, link);
}

class JournalFiltersTest : public ::testing::Test {
 protected:
  void SetUp() override { FillMonthRangeFilter(&monthRange_, 4, 103, false, 4, 3); }
  StFINDINFO monthRange_;
};

TEST_F(JournalFiltersTest, NonTaxablePurchaseFilterNestsSidesAndMonthRange) {
  NestedFilter filter;
  BuildNonTaxablePurchaseFilter(monthRange_, &filter);
  const FilterCondition* top = filter.top().conditions;
  EXPECT_EQ(top[0].link, kLinkAnd);
  EXPECT_EQ(top[1].link, kLinkLast);
  // The month range is referred to in place.
  EXPECT_EQ(Resolve(top[1]), monthRange_.conditions);

  std::vector<FilterCondition> sides = Members(Resolve(top[0]));
  ASSERT_EQ(sides.size(), 2u);
  EXPECT_EQ(sides[0].link, kLinkOr);
  const int16_t sideIds[] = {kSideDebit, kSideCredit};
  for (int s = 0; s < 2; ++s) {
    std::vector<FilterCondition> classes = Members(Resolve(sides[s]));
    ASSERT_EQ(classes.size(), 3u);
    ExpectTaxClass(classes[0], sideIds[s], kOpLess, 21, kLinkOr);
    ExpectTaxClass(classes[1], sideIds[s], kOpEqual, 24, kLinkOr);
    ExpectTaxClass(classes[2], sideIds[s], kOpGreaterOrEqual, 30, kLinkLast);
  }
}

TEST_F(JournalFiltersTest, ImportTaxClassFilterHasTwoRangesPerSide) {
  NestedFilter filter;
  BuildImportTaxClassFilter(monthRange_, &filter);
  const FilterCondition* top = filter.top().conditions;
  EXPECT_EQ(top[0].link, kLinkAnd);
  EXPECT_EQ(Resolve(top[1]), monthRange_.conditions);
  std::vector<FilterCondition> sides = Members(Resolve(top[0]));
  ASSERT_EQ(sides.size(), 2u);
  const int16_t sideIds[] = {kSideDebit, kSideCredit};
  for (int s = 0; s < 2; ++s) {
    std::vector<FilterCondition> ranges = Members(Resolve(sides[s]));
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].link, kLinkOr);
    std::vector<FilterCondition> low = Members(Resolve(ranges[0]));
    std::vector<FilterCondition> high = Members(Resolve(ranges[1]));
    ASSERT_EQ(low.size(), 2u);
    ASSERT_EQ(high.size(), 2u);
    ExpectTaxClass(low[0], sideIds[s], kOpGreaterOrEqual, 31, kLinkAnd);
    ExpectTaxClass(low[1], sideIds[s], kOpLessOrEqual, 33, kLinkLast);
    ExpectTaxClass(high[0], sideIds[s], kOpGreaterOrEqual, 35, kLinkAnd);
    ExpectTaxClass(high[1], sideIds[s], kOpLessOrEqual, 37, kLinkLast);
  }
}

TEST_F(JournalFiltersTest, GroupsAreReleasedWithTheFilter) {
  uint32_t sidesRef = 0;
  uint32_t monthsRef = 0;
  {
    NestedFilter filter;
    BuildNonTaxablePurchaseFilter(monthRange_, &filter);
    sidesRef = filter.top().conditions[0].groupRef;
    monthsRef = filter.top().conditions[1].groupRef;
    ASSERT_NE(ClFilterGroupRegistry::Inst()->Resolve(sidesRef), nullptr);
  }
  EXPECT_EQ(ClFilterGroupRegistry::Inst()->Resolve(sidesRef), nullptr);
  EXPECT_EQ(ClFilterGroupRegistry::Inst()->Resolve(monthsRef), nullptr);
}

TEST(AccountClassFilterTest, WholeListIsOneOrGroup) {
  for (int list : {ACCOUNT_CLASS_LEGACY, ACCOUNT_CLASS_CORPORATE, ACCOUNT_CLASS_INDIVIDUAL}) {
    NestedFilter filter;
    ASSERT_TRUE(BuildAccountClassFilter(list, &filter));
    EXPECT_EQ(filter.top().conditions[0].link, kLinkLast);
    std::vector<FilterCondition> members = Members(Resolve(filter.top().conditions[0]));
    const std::vector<uint32_t>& classes = AccountClassList(list);
    ASSERT_EQ(members.size(), classes.size()) << list;
    for (std::size_t i = 0; i < classes.size(); ++i) {
      EXPECT_EQ(members[i].fieldId, kFieldAccountClass);
      EXPECT_EQ(members[i].op, kOpEqual);
      EXPECT_EQ(members[i].valueType, kValueAccountClass);
      EXPECT_EQ(static_cast<uint32_t>(members[i].value), classes[i]);
      EXPECT_EQ(members[i].link, i + 1 < classes.size() ? kLinkOr : kLinkLast);
    }
  }
  NestedFilter unknown;
  EXPECT_FALSE(BuildAccountClassFilter(7, &unknown));
}

TEST(NestedFilterTest, LastConditionOfAGroupIsTerminated) {
  NestedFilter filter;
  uint32_t ref = filter.AddGroup({TaxClassCondition(kSideDebit, kOpEqual, 1, kLinkOr),
                                  TaxClassCondition(kSideDebit, kOpEqual, 2, kLinkOr)});
  std::vector<FilterCondition> members = Members(ClFilterGroupRegistry::Inst()->Resolve(ref));
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[1].link, kLinkLast);
}

}  // namespace
}  // namespace taxlink
