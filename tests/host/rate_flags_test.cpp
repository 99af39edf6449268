// CheckExistSwkByZeiRate looks for each range of effective rates on its own;
// every rate must land in exactly one bit, at the edges of the ranges too.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "host/ClRuleShiwake.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

constexpr uint32_t k3 = 1;
constexpr uint32_t k5 = 2;
constexpr uint32_t k8 = 4;
constexpr uint32_t k10 = 8;
constexpr uint32_t kOther = 16;

class RateFlagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({.periodStart = 19960101, .periodEnd = 20261231});
    host_.SelectForUser("U01", 1);
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
  }

  void AddLine(int32_t date, int32_t rate, int16_t monthKind = 1) {
    host_.AddJournal({.date = date,
                      .debit = {.account = 1, .amount = 100},
                      .rate = rate,
                      .monthKind = monthKind});
  }

  uint32_t Flags(const StFINDINFO* filter = nullptr, uint32_t initial = 0) {
    std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
    uint32_t flags = initial;
    EXPECT_EQ(rule->CheckExistSwkByZeiRate(filter, &flags, 1), 0);
    return flags;
  }

  HostFixture host_{HostStorage::kMemory};
};

TEST_F(RateFlagsTest, EachRateLandsInOneBit) {
  struct Case {
    int32_t rate;
    uint32_t flags;
  };
  const Case cases[] = {
      {300, k3},     {500, k5},     {800, k8},      {1000, k10},    {1, kOther},
      {299, kOther}, {301, kOther}, {499, kOther},  {501, kOther},  {799, kOther},
      {801, kOther}, {999, kOther}, {1001, kOther}, {-800, kOther}, {2000000000, kOther},
  };
  for (const Case& c : cases) {
    host_.Exec("DELETE FROM journal_line");
    AddLine(20150110, c.rate);
    EXPECT_EQ(Flags(), c.flags) << "rate " << c.rate;
  }
}

TEST_F(RateFlagsTest, RateZeroTakesTheStandardRateOfItsDate) {
  struct Case {
    int32_t date;
    uint32_t flags;
  };
  const Case cases[] = {
      {19960331, k3}, {19970401, k5}, {20140331, k5},
      {20140401, k8}, {20190930, k8}, {20191001, k10},
  };
  for (const Case& c : cases) {
    host_.Exec("DELETE FROM journal_line");
    AddLine(c.date, 0);
    EXPECT_EQ(Flags(), c.flags) << "date " << c.date;
  }
}

TEST_F(RateFlagsTest, AllRatesTogetherAndOnlyWithinTheFilter) {
  AddLine(20150110, 300, 1);
  AddLine(20150110, 500, 2);
  AddLine(20150110, 800, 3);
  AddLine(20150110, 1000, 4);
  AddLine(20150110, 650, 5);
  EXPECT_EQ(Flags(), k3 | k5 | k8 | k10 | kOther);

  StFINDINFO months;
  std::memset(&months, 0, sizeof(months));
  months.conditions[0] = {kFieldMonthKind, 0, kOpGreaterOrEqual, {}, kValueInt16, {}, 2, {}, 0,
                          kLinkAnd,        {}};
  months.conditions[1] = {kFieldMonthKind, 0, kOpLessOrEqual, {}, kValueInt16, {}, 3, {}, 0,
                          kLinkLast,       {}};
  EXPECT_EQ(Flags(&months), k5 | k8);
  // The bits found are added to those the caller holds.
  EXPECT_EQ(Flags(&months, k10 | 64u), k5 | k8 | k10 | 64u);
}

TEST_F(RateFlagsTest, ARateStoredAsAFractionCountsAsItsWholePart) {
  // The store takes what SQLite takes; a fraction keeps its value.
  AddLine(20150110, 800);
  host_.Exec("UPDATE journal_line SET tax_rate = 300.5");
  EXPECT_EQ(Flags(), k3);
  host_.Exec("UPDATE journal_line SET tax_rate = 299.5");
  EXPECT_EQ(Flags(), kOther);
}

TEST_F(RateFlagsTest, AnEmptyFilterResultSetsNothing) {
  EXPECT_EQ(Flags(), 0u);
  AddLine(20150110, 800, 7);
  StFINDINFO march;
  std::memset(&march, 0, sizeof(march));
  march.conditions[0] = {kFieldMonthKind, 0, kOpEqual, {}, kValueInt16, {}, 3, {}, 0,
                         kLinkLast,       {}};
  EXPECT_EQ(Flags(&march), 0u);
}

}  // namespace
}  // namespace taxlink::testing
