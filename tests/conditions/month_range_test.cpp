#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "conditions/MonthRangeCheck.h"
#include "conditions/PeriodMonthRange.h"
#include "tests/support/ConditionsTestSupport.h"

namespace taxlink {
namespace {

using testing::ConditionsScopedEnv;

struct RangeCase {
  const char* name;
  int16_t first;  // as GetPeriodMonthRange gives them
  int16_t last;
  int16_t start;
  int16_t end;
  MonthField fault;
};

constexpr int16_t kJan = 1, kDec = 12;   // calendar year
constexpr int16_t kApr = 4, kMar = 103;  // April to March

const RangeCase kRangeCases[] = {
    // Calendar year.
    {"CalendarWholeYear", kJan, kDec, 1, 12, MonthField::kNone},
    {"CalendarOneMonth", kJan, kDec, 7, 7, MonthField::kNone},
    {"CalendarStartAfterEnd_c", kJan, kDec, 3, 2, MonthField::kStart},
    {"CalendarStartZero", kJan, kDec, 0, 5, MonthField::kStart},
    {"CalendarStartThirteen", kJan, kDec, 13, 5, MonthField::kStart},
    {"CalendarEndZero", kJan, kDec, 1, 0, MonthField::kEnd},
    {"CalendarEndThirteen", kJan, kDec, 1, 13, MonthField::kEnd},
    {"CalendarBothWrongBlamesStart", kJan, kDec, 0, 13, MonthField::kStart},
    {"CalendarNegative", kJan, kDec, -1, 3, MonthField::kStart},
    // A short period inside one calendar year (March to September).
    {"ShortBeforeFirst_a", 3, 9, 2, 5, MonthField::kStart},
    {"ShortEndAfterLast_b", 3, 9, 4, 10, MonthField::kStart},
    {"ShortInside", 3, 9, 3, 9, MonthField::kNone},
    // April to March.
    {"FiscalWholeYear", kApr, kMar, 4, 3, MonthField::kNone},
    {"FiscalMayToFebruary", kApr, kMar, 5, 2, MonthField::kNone},
    {"FiscalDecemberToJanuary", kApr, kMar, 12, 1, MonthField::kNone},
    {"FiscalSameMonthAfterNewYear", kApr, kMar, 2, 2, MonthField::kNone},
    {"FiscalAprilToApril", kApr, kMar, 4, 4, MonthField::kNone},
    {"FiscalEndBeforeStart_d", kApr, kMar, 5, 4, MonthField::kEnd},
    {"FiscalOctoberToSeptember_d", kApr, kMar, 10, 9, MonthField::kEnd},
    {"FiscalMarchToApril_e", kApr, kMar, 3, 4, MonthField::kEnd},
    {"FiscalFebruaryToJanuary_e", kApr, kMar, 2, 1, MonthField::kEnd},
    {"FiscalJanuaryToDecember_e", kApr, kMar, 1, 12, MonthField::kEnd},
    // A period from July to April of the next year leaves May and June out.
    {"GapStartInGap_f", 7, 104, 5, 8, MonthField::kStart},
    {"GapEndInGap_g", 7, 104, 8, 6, MonthField::kStart},
    {"GapInside", 7, 104, 8, 3, MonthField::kNone},
    {"FiscalStartThirteen", kApr, kMar, 13, 3, MonthField::kStart},
    {"FiscalEndZero", kApr, kMar, 4, 0, MonthField::kEnd},
};

class MonthRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(MonthRangeTest, BlamesTheRightField) {
  const RangeCase& c = GetParam();
  EXPECT_EQ(FindMonthRangeFault(c.start, c.end, c.first, c.last), c.fault);
}

INSTANTIATE_TEST_SUITE_P(Rules, MonthRangeTest, ::testing::ValuesIn(kRangeCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(MonthRangeTest, UnknownPeriodRefusesEveryRange) {
  // When the period's months could not be found (0 and 0) nothing passes.
  for (int16_t start = 1; start <= 12; ++start) {
    for (int16_t end = 1; end <= 12; ++end) {
      EXPECT_NE(FindMonthRangeFault(start, end, 0, 0), MonthField::kNone) << start << ".." << end;
    }
  }
}

TEST(MonthRangeTest, EveryOrderedPairOfAFiscalYearPasses) {
  // The months in period order: 4..12 then 1..3.
  const int16_t order[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3};
  for (int i = 0; i < 12; ++i) {
    for (int j = 0; j < 12; ++j) {
      MonthField fault = FindMonthRangeFault(order[i], order[j], kApr, kMar);
      if (i <= j) {
        EXPECT_EQ(fault, MonthField::kNone) << order[i] << ".." << order[j];
      } else {
        EXPECT_NE(fault, MonthField::kNone) << order[i] << ".." << order[j];
      }
    }
  }
}

struct PeriodCase {
  const char* name;
  int32_t start;
  int32_t end;
  int16_t first;
  int16_t last;
};

const PeriodCase kPeriodCases[] = {
    {"CalendarYear", 20140101, 20141231, 1, 12},
    {"AprilToMarch", 20140401, 20150331, 4, 103},
    {"ClosingDayTwenty", 20140421, 20150420, 5, 104},
    {"ShortPeriod", 20140301, 20140930, 3, 9},
};

class PeriodMonthRangeTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodMonthRangeTest, GivesTheAccountingMonths) {
  const PeriodCase& c = GetParam();
  int16_t first = -1;
  int16_t last = -1;
  GetPeriodMonthRange(c.start, c.end, &first, &last);
  EXPECT_EQ(first, c.first);
  EXPECT_EQ(last, c.last);
  // Either output may be left out.
  int16_t only = -1;
  GetPeriodMonthRange(c.start, c.end, &only, nullptr);
  EXPECT_EQ(only, c.first);
  GetPeriodMonthRange(c.start, c.end, nullptr, &only);
  EXPECT_EQ(only, c.last);
}

INSTANTIATE_TEST_SUITE_P(Periods, PeriodMonthRangeTest, ::testing::ValuesIn(kPeriodCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PeriodMonthRangeTest, WritesNothingWhenThePeriodObjectCannotBeCreated) {
  ConditionsScopedEnv faults("MVHOST_FAULTS", "new ClAccPeriod=fail");
  int16_t first = -7;
  int16_t last = -7;
  EXPECT_EQ(GetPeriodMonthRange(20140401, 20150331, &first, &last).ToString(),
            "host object not created (-1001) in ClAccPeriod");
  EXPECT_EQ(first, -7);
  EXPECT_EQ(last, -7);
}

}  // namespace
}  // namespace taxlink
