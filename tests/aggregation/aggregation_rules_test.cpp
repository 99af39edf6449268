// The fixed rules of the passes: tax-class and account-class tests, income
// routing of individual amounts, period amounts of account sums and the
// checked raw-amount arithmetic.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "aggregation/AccountClasses.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/IndividualRouting.h"
#include "aggregation/PeriodAmount.h"
#include "aggregation/RawAmount.h"

namespace taxlink {
namespace {

TEST(NonTaxablePurchaseClassTest, BoundariesOfTheTaxablePurchaseClasses) {
  struct Case {
    int taxClass;
    bool nonTaxable;
  };
  const Case cases[] = {{0, true},   {20, true},  {21, false}, {23, false}, {24, true},
                        {25, false}, {29, false}, {30, true},  {36, true},  {255, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsNonTaxablePurchaseClass(static_cast<uint8_t>(c.taxClass)), c.nonTaxable)
        << c.taxClass;
  }
}

TEST(AccountClassTest, CorporateLinesAndIndividualGroups) {
  struct Case {
    uint32_t classCode;
    CorporateLine corporate;
    IndividualGroup individual;
  };
  const Case cases[] = {
      {0x40884400, CorporateLine::kMerchandise, IndividualGroup::kPurchases},
      {0x20200040, CorporateLine::kMerchandise, IndividualGroup::kPurchases},
      {0x40882000, CorporateLine::kSellingAdmin, IndividualGroup::kExpenses},
      {0x40882004, CorporateLine::kSellingAdmin, IndividualGroup::kExpenses},
      {0x40844000, CorporateLine::kNonOperating, IndividualGroup::kExpenses},
      // Listed for individuals only.
      {0x40844080, CorporateLine::kNone, IndividualGroup::kExpenses},
      {0x40440080, CorporateLine::kOther, IndividualGroup::kExpenses},
      {0x40888000, CorporateLine::kNone, IndividualGroup::kNone},
      {0, CorporateLine::kNone, IndividualGroup::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CorporateLineOfClass(c.classCode), c.corporate) << std::hex << c.classCode;
    EXPECT_EQ(IndividualGroupOfClass(c.classCode), c.individual) << std::hex << c.classCode;
  }
}

TEST(AccountClassTest, SelectionLists) {
  EXPECT_EQ(AccountClassList(ACCOUNT_CLASS_LEGACY).size(), 2u);
  EXPECT_EQ(AccountClassList(ACCOUNT_CLASS_CORPORATE).size(), 17u);
  EXPECT_EQ(AccountClassList(ACCOUNT_CLASS_INDIVIDUAL).size(), 18u);
  EXPECT_TRUE(AccountClassList(0).empty());
  EXPECT_TRUE(AccountClassList(4).empty());
  // Every corporate list class feeds a corporate line, every individual one
  // an individual group.
  for (uint32_t c : AccountClassList(ACCOUNT_CLASS_CORPORATE)) {
    EXPECT_NE(CorporateLineOfClass(c), CorporateLine::kNone) << std::hex << c;
  }
  for (uint32_t c : AccountClassList(ACCOUNT_CLASS_INDIVIDUAL)) {
    EXPECT_NE(IndividualGroupOfClass(c), IndividualGroup::kNone) << std::hex << c;
  }
}

StBUMONINFO Department(uint8_t kind, int32_t valueAt16, uint8_t incomeKind) {
  StBUMONINFO d;
  std::memset(&d, 0, sizeof(d));
  d.kind = kind;
  d.parentCode = valueAt16;
  d.incomeKind = incomeKind;
  return d;
}

TEST(IndividualRoutingTest, RoutesByIncomeKindAndDepartment) {
  struct Case {
    const char* name;
    uint8_t incomeKind;
    bool departmentsExist;
    StBUMONINFO department;
    bool business, realEstate, other;
  };
  const Case cases[] = {
      {"business income ignores departments", 1, true, Department(2, 0, 3), true, false, false},
      {"real-estate income", 2, true, Department(2, 0, 1), false, true, false},
      {"several kinds without departments", 3, false, Department(0, 0, 0), true, false, false},
      {"business department", 3, true, Department(2, 0, 1), true, false, false},
      {"real-estate department, flags clear", 3, true, Department(2, 0, 3), false, true, false},
      {"other department, flags clear", 3, true, Department(2, 0, 5), false, false, true},
      {"flag G routes to business", 3, true, Department(1, 0, 5), true, false, false},
      {"flag H routes to other", 3, true, Department(1, 7, 1), true, false, true},
      {"flag H with real estate", 3, true, Department(1, 7, 3), false, true, true},
      {"unknown department", 3, true, Department(0, 0, 0), false, false, true},
      {"no income kind", 0, true, Department(2, 0, 1), false, false, false},
  };
  for (const Case& c : cases) {
    IncomeRouting r = RouteIndividualAmount(c.incomeKind, c.departmentsExist, c.department);
    EXPECT_EQ(r.business, c.business) << c.name;
    EXPECT_EQ(r.realEstate, c.realEstate) << c.name;
    EXPECT_EQ(r.other, c.other) << c.name;
  }
}

class PeriodAmountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&record_, 0, sizeof(record_));
    for (int64_t i = 0; i < 15; ++i) {
      // Tax-excluded: debit 100 x entry, credit 1 x entry; included x 2.
      record_.debit[i] = 100 * i;
      record_.credit[i] = i;
      record_.debitIncl[i] = 200 * i;
      record_.creditIncl[i] = 2 * i;
    }
  }
  MonthRange Range(int16_t firstMonth, int16_t lastMonth, bool interim, int start, int end) {
    StFINDINFO filter;
    FillMonthRangeFilter(&filter, firstMonth, lastMonth, interim, start, end);
    return ReadMonthRange(filter);
  }
  StKAMOKUSUMINFO record_;
};

TEST_F(PeriodAmountTest, SumsTheMonthEntriesOfTheRange) {
  // April..September of an April year: entries 1..6.
  PeriodTotals t = SumPeriodEntries(record_, Range(4, 103, false, 4, 9), false, false);
  EXPECT_EQ(t.debit, 100 * 21);
  EXPECT_EQ(t.credit, 21);
  t = SumPeriodEntries(record_, Range(4, 103, false, 4, 9), false, true);
  EXPECT_EQ(t.debit, 200 * 21);
  EXPECT_EQ(t.credit, 42);
}

TEST_F(PeriodAmountTest, YearEndTakesTheClosingEntry) {
  // Whole year: entries 1..12 and entry 13 (kind 18).
  PeriodTotals t = SumPeriodEntries(record_, Range(4, 103, false, 4, 3), false, false);
  EXPECT_EQ(t.debit, 100 * (78 + 13));
  // A six-month year ending in its sixth month: entries 1..6 and 13, not 7.
  t = SumPeriodEntries(record_, Range(1, 6, false, 1, 6), false, false);
  EXPECT_EQ(t.debit, 100 * (21 + 13));
}

TEST_F(PeriodAmountTest, InterimClosingAddsEntry14WhenTheRangeEndsInKind6) {
  PeriodTotals t = SumPeriodEntries(record_, Range(1, 12, true, 1, 6), true, false);
  EXPECT_EQ(t.debit, 100 * (21 + 14));
  // Without the data set's interim closing no entry 14.
  t = SumPeriodEntries(record_, Range(1, 12, false, 1, 6), false, false);
  EXPECT_EQ(t.debit, 100 * 21);
  // Both adjustments in a six-month year.
  t = SumPeriodEntries(record_, Range(1, 6, true, 1, 6), true, false);
  EXPECT_EQ(t.debit, 100 * (21 + 13 + 14));
}

TEST_F(PeriodAmountTest, DamagedFilterStaysInsideTheArrays) {
  MonthRange range;
  range.startKind = -3;
  range.endKind = 40;
  PeriodTotals t = SumPeriodEntries(record_, range, false, false);
  EXPECT_EQ(t.debit, 100 * 78);
}

TEST_F(PeriodAmountTest, DebitTotalIsBounded) {
  record_.debit[1] = Decimal4::kBound - 1;
  record_.debit[2] = 0;
  MonthRange range;
  range.startKind = 1;
  range.endKind = 2;
  EXPECT_EQ(SumPeriodEntries(record_, range, false, false).debit, Decimal4::kBound - 1);
  record_.debit[2] = 1;
  EXPECT_THROW(SumPeriodEntries(record_, range, false, false), Decimal4Overflow);
  record_.debit[1] = 1 - Decimal4::kBound;
  record_.debit[2] = -1;
  EXPECT_THROW(SumPeriodEntries(record_, range, false, false), Decimal4Overflow);
}

// The credit is summed without the bound: past a raw amount on the way is
// no failure, only a total that does not fit one.
TEST_F(PeriodAmountTest, CreditTotalFailsOnlyPastARawAmount) {
  const int64_t max = std::numeric_limits<int64_t>::max();
  record_.credit[1] = max;
  record_.credit[2] = 1;
  record_.credit[3] = -2;
  MonthRange range;
  range.startKind = 1;
  range.endKind = 3;
  EXPECT_EQ(SumPeriodEntries(record_, range, false, false).credit, max - 1);
  range.endKind = 2;
  EXPECT_THROW(SumPeriodEntries(record_, range, false, false), Decimal4Overflow);
}

TEST(RawAmountTest, CheckedArithmetic) {
  EXPECT_EQ(AddRaw(5, -7), -2);
  EXPECT_EQ(SubtractRaw(5, -7), 12);
  EXPECT_EQ(ToRawAmount(Decimal4::FromRaw(-1) * 20), -20);
  const int64_t max = std::numeric_limits<int64_t>::max();
  EXPECT_EQ(AddRaw(max - 1, 1), max);
  EXPECT_THROW(AddRaw(max, 1), Decimal4Overflow);
  EXPECT_THROW(SubtractRaw(std::numeric_limits<int64_t>::min(), 1), Decimal4Overflow);
  // A product that fits Decimal4's integer part but not a raw amount.
  EXPECT_THROW(ToRawAmount(Decimal4::FromRaw(max / 10) * 20), Decimal4Overflow);
}

TEST(RawAmountTest, JournalSideValueAddsTaxOnlyWhenTaxIncluded) {
  EXPECT_EQ(JournalSideValue(100000000, 8000000, true), 108000000);
  EXPECT_EQ(JournalSideValue(100000000, 8000000, false), 100000000);
  EXPECT_THROW(JournalSideValue(Decimal4::kBound - 1, 1, true), Decimal4Overflow);
  EXPECT_THROW(JournalSideValue(1 - Decimal4::kBound, -1, true), Decimal4Overflow);
  EXPECT_EQ(JournalSideValue(Decimal4::kBound - 2, 1, true), Decimal4::kBound - 1);
  EXPECT_EQ(JournalSideValue(2 - Decimal4::kBound, -1, true), 1 - Decimal4::kBound);
}

}  // namespace
}  // namespace taxlink
