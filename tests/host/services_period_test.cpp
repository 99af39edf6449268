// Accounting periods, months and month kinds under closing days.

#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClSetBase.h"
#include "host/ClSetData.h"
#include "mvhost/lib/HostCodes.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

std::unique_ptr<ClAccPeriod> Period(int32_t start, int32_t end, int32_t closingDay = 0) {
  std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod);
  EXPECT_EQ(period->SetPeriod(start, end), 0);
  if (closingDay != 0) {
    EXPECT_EQ(period->SetClosingDay(closingDay), 0);
  }
  return period;
}

TEST(ServicesPeriodTest, ClosingDayFromThePeriodEnd) {
  ClAccPeriod period;
  const struct {
    int32_t end;
    int32_t closingDay;
  } cases[] = {{20150331, 31}, {20150228, 31}, {20160228, 28}, {20160229, 31},
               {20150320, 20}, {20151130, 31}, {20150230, 0},  {0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(period.GetClosingDayByEndDate(c.end, 0), c.closingDay) << c.end;
  }
}

TEST(ServicesPeriodTest, AMonthOfADate) {
  const struct {
    int32_t closingDay;
    int32_t date;
    int16_t month;
  } cases[] = {
      {31, 20140401, 4},  {31, 20150331, 3}, {20, 20140420, 4},
      {20, 20140421, 5},  {20, 20141221, 1}, {25, 20150226, 3},
      {31, 20141231, 12}, {30, 20150131, 2}, {30, 20150228, 2},  // February ends before day 30
  };
  for (const auto& c : cases) {
    auto period = Period(20140401, 20150331, c.closingDay);
    int16_t month = -1;
    ASSERT_EQ(period->GetAMonthByDate(c.date, &month, 0), 0) << c.date;
    EXPECT_EQ(month, c.month) << "closing " << c.closingDay << " date " << c.date;
  }
  auto period = Period(20140401, 20150331);
  int16_t month = -1;
  EXPECT_EQ(period->GetAMonthByDate(20140231, &month, 0), mvhost::kErrBadPeriod);
  EXPECT_EQ(month, -1);
}

TEST(ServicesPeriodTest, PeriodByAMonthAndByMonthKind) {
  // April to March, month ends.
  auto year = Period(20140401, 20150331);
  int32_t first = 0;
  int32_t last = 0;
  ASSERT_EQ(year->GetPeriodByAMonth(2, &first, &last, 0), 0);
  EXPECT_EQ(first, 20150201);
  EXPECT_EQ(last, 20150228);
  ASSERT_EQ(year->GetPeriodByMonthKind(1, &first, &last, 0), 0);
  EXPECT_EQ(first, 20140401);
  EXPECT_EQ(last, 20140430);
  ASSERT_EQ(year->GetPeriodByMonthKind(12, &first, &last, 0), 0);
  EXPECT_EQ(first, 20150301);
  EXPECT_EQ(last, 20150331);
  // Interim adjustment: the end of month 6; year-end: the period's end.
  ASSERT_EQ(year->GetPeriodByMonthKind(15, &first, &last, 0), 0);
  EXPECT_EQ(first, 20140930);
  EXPECT_EQ(last, 20140930);
  ASSERT_EQ(year->GetPeriodByMonthKind(18, &first, &last, 0), 0);
  EXPECT_EQ(first, 20150331);
  EXPECT_EQ(last, 20150331);
  EXPECT_EQ(year->GetPeriodByMonthKind(13, &first, &last, 0), mvhost::kErrBadPeriod);

  // Closing on the 20th: the month named 5 runs from 21 April to 20 May.
  auto twentieth = Period(20140421, 20150420);
  EXPECT_EQ(twentieth->GetClosingDayByEndDate(20150420, 0), 20);
  ASSERT_EQ(twentieth->GetPeriodByAMonth(5, &first, &last, 0), 0);
  EXPECT_EQ(first, 20140421);
  EXPECT_EQ(last, 20140520);
  ASSERT_EQ(twentieth->GetPeriodByAMonth(3, &first, &last, 0), 0);
  EXPECT_EQ(first, 20150221);
  EXPECT_EQ(last, 20150320);

  // A six-month year has no month kind 7 (and month 12 is not in it).
  auto half = Period(20140101, 20140630);
  EXPECT_EQ(half->GetPeriodByMonthKind(7, &first, &last, 0), mvhost::kErrBadPeriod);
  EXPECT_EQ(half->GetPeriodByAMonth(12, &first, &last, 0), mvhost::kErrBadPeriod);
  ASSERT_EQ(half->GetPeriodByMonthKind(15, &first, &last, 0), 0);
  EXPECT_EQ(last, 20140630);
}

TEST(ServicesPeriodTest, ShortFirstMonthWhenThePeriodStartsMidMonth) {
  auto period = Period(20140415, 20150331);
  int32_t first = 0;
  int32_t last = 0;
  ASSERT_EQ(period->GetPeriodByMonthKind(1, &first, &last, 0), 0);
  EXPECT_EQ(first, 20140415);
  EXPECT_EQ(last, 20140430);
  int16_t month = 0;
  ASSERT_EQ(period->GetAMonthByDate(20140415, &month, 0), 0);
  EXPECT_EQ(month, 4);
}

TEST(ServicesPeriodTest, InvalidPeriodsAndClosingDaysAreRefused) {
  ClAccPeriod period;
  int32_t start = 0;
  int32_t end = 0;
  EXPECT_EQ(period.GetPeriod(&start, &end), mvhost::kErrBadPeriod);
  EXPECT_EQ(period.SetPeriod(20150401, 20150331), mvhost::kErrBadPeriod);
  EXPECT_EQ(period.SetPeriod(20150132, 20150331), mvhost::kErrBadPeriod);
  EXPECT_EQ(period.SetClosingDay(0), mvhost::kErrBadPeriod);
  EXPECT_EQ(period.SetClosingDay(32), mvhost::kErrBadPeriod);
  ASSERT_EQ(period.SetPeriod(20140401, 20150331), 0);
  ASSERT_EQ(period.GetPeriod(&start, &end), 0);
  EXPECT_EQ(start, 20140401);
  EXPECT_EQ(end, 20150331);
}

TEST(ServicesPeriodTest, TheDataSetsPeriodObject) {
  HostFixture host(HostStorage::kMemory);
  host.AddDataSet({.dataNo = 3, .dataId = "D003", .periodStart = 20130921, .periodEnd = 20140920});
  host.SelectForUser("U01", 3);
  auto* sets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  ClAccPeriod* period = nullptr;
  ASSERT_EQ(sets->GetAccPeriod(&period), 0);
  ASSERT_NE(period, nullptr);
  int32_t first = 0;
  int32_t last = 0;
  ASSERT_EQ(period->GetPeriod(&first, &last), 0);
  EXPECT_EQ(first, 20130921);
  EXPECT_EQ(last, 20140920);
  // Closing day 20 comes from the period's end.
  ASSERT_EQ(period->GetPeriodByAMonth(10, &first, &last, 0), 0);
  EXPECT_EQ(first, 20130921);
  EXPECT_EQ(last, 20131020);
  delete period;
}

}  // namespace
}  // namespace taxlink::testing
