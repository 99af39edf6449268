#include "aggregation/AggregationFilter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/FilterCondition.h"

namespace taxlink {
namespace {

struct FilterCase {
  const char* name;
  int16_t firstMonth;
  int16_t lastMonth;
  bool interim;
  int startMonth;
  int endMonth;
  int16_t s;
  int16_t e;
  std::vector<int16_t> closingKinds;  // conditions 3 and 4
};

const FilterCase kCases[] = {
    {"AprilToMarchWholeYear", 4, 103, false, 4, 3, 1, 12, {18}},
    {"AprilToMarchOctoberToFebruary", 4, 103, false, 10, 2, 7, 11, {}},
    {"AprilToMarchJanuaryOnly", 4, 103, false, 1, 1, 10, 10, {}},
    {"AprilToMarchFirstHalfWithInterim", 4, 103, true, 4, 9, 1, 6, {15}},
    {"JanuaryToDecemberFirstHalfWithInterim", 1, 12, true, 1, 6, 1, 6, {15}},
    {"JanuaryToDecemberFirstHalfWithoutInterim", 1, 12, false, 1, 6, 1, 6, {}},
    {"JanuaryToDecemberWholeYear", 1, 12, false, 1, 12, 1, 12, {18}},
    {"JanuaryToDecemberWholeYearWithInterim", 1, 12, true, 1, 12, 1, 12, {18}},
    {"SixMonthYearWithInterim", 1, 6, true, 1, 6, 1, 6, {15, 18}},
    {"OctoberToMarchShortYear", 10, 103, false, 1, 3, 4, 6, {18}},
};

class FillMonthRangeFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FillMonthRangeFilterTest, BuildsTheMonthKindConditions) {
  const FilterCase& c = GetParam();
  StFINDINFO filter;
  std::memset(&filter, 0xAB, sizeof(filter));  // must be zeroed by the builder
  FillMonthRangeFilter(&filter, c.firstMonth, c.lastMonth, c.interim, c.startMonth, c.endMonth);

  const FilterCondition* k = filter.conditions;
  for (int i = 0; i < 2 + static_cast<int>(c.closingKinds.size()); ++i) {
    EXPECT_EQ(k[i].fieldId, kFieldMonthKind) << i;
    EXPECT_EQ(k[i].side, 0) << i;
    EXPECT_EQ(k[i].valueType, kValueInt16) << i;
    EXPECT_EQ(k[i].groupRef, 0u) << i;
  }
  EXPECT_EQ(k[0].op, kOpGreaterOrEqual);
  EXPECT_EQ(k[0].value, c.s);
  EXPECT_EQ(k[0].link, kLinkAnd);
  EXPECT_EQ(k[1].op, kOpLessOrEqual);
  EXPECT_EQ(k[1].value, c.e);
  const std::size_t n = c.closingKinds.size();
  EXPECT_EQ(k[1].link, n == 0 ? kLinkLast : kLinkOr);
  for (std::size_t i = 0; i < n; ++i) {
    const FilterCondition& extra = k[2 + i];
    EXPECT_EQ(extra.op, kOpEqual);
    EXPECT_EQ(extra.value, c.closingKinds[i]);
    EXPECT_EQ(extra.link, i + 1 == n ? kLinkLast : kLinkOr);
  }
  // Unused slots stay zero.
  for (std::size_t i = 2 + n; i < 4; ++i) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&k[i]);
    for (std::size_t b = 0; b < sizeof(FilterCondition); ++b) ASSERT_EQ(bytes[b], 0) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Years, FillMonthRangeFilterTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ReadMonthRangeTest, ReadsBackWhatThePassesUse) {
  StFINDINFO filter;
  FillMonthRangeFilter(&filter, 1, 6, true, 1, 6);
  MonthRange range = ReadMonthRange(filter);
  EXPECT_EQ(range.startKind, 1);
  EXPECT_EQ(range.endKind, 6);
  EXPECT_TRUE(range.hasSuccessor);
  EXPECT_EQ(range.successorKind, 15);
  EXPECT_TRUE(range.includesInterim);
  // The year-end adjustment in the fourth condition counts too.
  EXPECT_TRUE(range.includesYearEnd);

  FillMonthRangeFilter(&filter, 4, 103, false, 10, 2);
  range = ReadMonthRange(filter);
  EXPECT_EQ(range.startKind, 7);
  EXPECT_EQ(range.endKind, 11);
  EXPECT_FALSE(range.hasSuccessor);
  EXPECT_EQ(range.successorKind, 0);
  EXPECT_FALSE(range.includesInterim);
  EXPECT_FALSE(range.includesYearEnd);

  FillMonthRangeFilter(&filter, 4, 103, false, 4, 3);
  range = ReadMonthRange(filter);
  EXPECT_EQ(range.successorKind, 18);
  EXPECT_TRUE(range.includesYearEnd);
  EXPECT_FALSE(range.includesInterim);
}

TEST(ReadMonthRangeTest, IgnoresConditionsAfterTheLastLink) {
  StFINDINFO filter;
  FillMonthRangeFilter(&filter, 1, 12, false, 1, 6);
  // Left-over bytes after the terminating condition are not part of the filter.
  filter.conditions[2].fieldId = kFieldMonthKind;
  filter.conditions[2].op = kOpEqual;
  filter.conditions[2].value = 18;
  MonthRange range = ReadMonthRange(filter);
  EXPECT_FALSE(range.hasSuccessor);
  EXPECT_FALSE(range.includesYearEnd);
}

}  // namespace
}  // namespace taxlink
