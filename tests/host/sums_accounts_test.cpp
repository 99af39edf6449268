// Account sums with adjustment months, departments and class totals; journal
// checks; fixed assets; the saved return.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/HostStatus.h"
#include "mvhost/lib/HostCodes.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

constexpr uint32_t kSga = 0x40882000;       // total class
constexpr uint32_t kSgaChild = 0x40882040;  // below it
constexpr uint32_t kSales = 0x40888000;

class SumsAccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({.periodStart = 20140101, .periodEnd = 20141231, .interimClosing = true});
    host_.SelectForUser("U01", 1);
    host_.AddAccountClass({.code = kSga, .name = "販売費"_sjis, .total = true});
    host_.AddAccountClass({.code = kSgaChild, .name = "旅費"_sjis, .parent = kSga});
    host_.AddAccountClass({.code = kSales, .name = "売上"_sjis});
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2,
                      .code = "600",
                      .name = "広告費"_sjis,
                      .classCode = kSga,
                      .refundFlag1 = 1});
    host_.AddAccount({.accountId = 3,
                      .code = "610",
                      .name = "旅費交通費"_sjis,
                      .classCode = kSgaChild,
                      .balanceSide = 1,
                      .refundFlag2 = 1});
    host_.AddAccount({.accountId = 4,
                      .code = "400",
                      .name = "売上高"_sjis,
                      .classCode = kSales,
                      .balanceSide = 2});
    auto expense = [&](int32_t account, int16_t kind, int64_t amount, int64_t tax, int32_t dept) {
      host_.AddJournal({.date = 20140110,
                        .debit = {.account = account, .amount = amount, .tax = tax, .dept = dept},
                        .credit = {.account = 1, .amount = amount + tax, .dept = dept},
                        .monthKind = kind});
    };
    expense(2, 1, 1000, 80, 10);
    expense(2, 1, 500, 40, 20);
    expense(3, 2, 300, 24, 10);
    expense(3, 15, 70, 0, 10);  // interim adjustment -> entry 14
    expense(2, 18, 9, 0, 20);   // year-end adjustment -> entry 13
    // A refund on the advertising account: credit side.
    host_.AddJournal({.date = 20140210,
                      .debit = {.account = 1, .amount = 200, .dept = 10},
                      .credit = {.account = 2, .amount = 200, .tax = 16, .dept = 10},
                      .monthKind = 2});
  }

  std::vector<StKAMOKUSUMINFO> Sums(const StFINDINFO* filter, int32_t deptSumType,
                                    const StBUMONINFO* department) {
    std::unique_ptr<ClRuleKamoku> rule(new (std::nothrow) ClRuleKamoku);
    EXPECT_EQ(rule->MoveReady(1, deptSumType, 0, filter, department, 0), 0);
    int32_t count = 0;
    EXPECT_EQ(rule->GetSumCount(&count), 0);
    EXPECT_EQ(rule->SetMovePos(0), 0);
    std::vector<StKAMOKUSUMINFO> records(static_cast<size_t>(count));
    for (auto& record : records) EXPECT_EQ(rule->MoveNext(&record), 0);
    StKAMOKUSUMINFO extra;
    EXPECT_EQ(rule->MoveNext(&extra), kHostEndOfData);
    EXPECT_EQ(rule->MoveFinish(), 0);
    return records;
  }

  HostFixture host_{HostStorage::kMemory};
};

TEST_F(SumsAccountsTest, MonthsAndAdjustmentMonthsFillTheirEntries) {
  std::vector<StKAMOKUSUMINFO> r = Sums(nullptr, 0, nullptr);
  // Four accounts in id order, then the one total class.
  ASSERT_EQ(r.size(), 5u);
  const StKAMOKUSUMINFO& ads = r[1];
  EXPECT_EQ(ads.accountId, 2);
  EXPECT_STREQ(ads.code, "600");
  EXPECT_EQ(ads.excluded1, 1);
  EXPECT_EQ(ads.excluded2, 0);
  EXPECT_EQ(ads.totalFlag, 0);
  EXPECT_EQ(ads.classCode, kSga);
  EXPECT_EQ(ads.debit[1], 1500);
  EXPECT_EQ(ads.debitIncl[1], 1620);
  EXPECT_EQ(ads.debit[13], 9);  // kind 18
  EXPECT_EQ(ads.credit[2], 200);
  EXPECT_EQ(ads.creditIncl[2], 216);
  EXPECT_EQ(ads.debit[0], 0);
  const StKAMOKUSUMINFO& travel = r[2];
  EXPECT_EQ(travel.excluded2, 1);
  EXPECT_EQ(travel.debit[2], 300);
  EXPECT_EQ(travel.debitIncl[2], 324);
  EXPECT_EQ(travel.debit[14], 70);  // kind 15
  const StKAMOKUSUMINFO& cash = r[0];
  EXPECT_EQ(cash.credit[1], 1620);
  EXPECT_EQ(cash.credit[2], 324);
  EXPECT_EQ(cash.debit[2], 200);
  EXPECT_EQ(r[3].balanceSide, 2);

  // The total of class kSga covers its own account and the class below.
  const StKAMOKUSUMINFO& total = r[4];
  EXPECT_EQ(total.totalFlag, 1);
  EXPECT_EQ(total.classCode, kSga);
  EXPECT_STREQ(total.name, "販売費"_sjis);
  EXPECT_EQ(total.debit[1], 1500);
  EXPECT_EQ(total.debit[2], 300);
  EXPECT_EQ(total.debitIncl[2], 324);
  EXPECT_EQ(total.credit[2], 200);
  EXPECT_EQ(total.debit[13], 9);
  EXPECT_EQ(total.debit[14], 70);
}

// A total class sums every account below it however deep, an account on a
// cycle of classes once; totals come in class code order, each on the
// balance side of its first account.
TEST_F(SumsAccountsTest, TotalClassesNestAndACycleCountsOnce) {
  constexpr uint32_t kTop = 0x40000000;
  constexpr uint32_t kLoopA = 0x50000000;
  constexpr uint32_t kLoopB = 0x50000040;
  host_.AddAccountClass({.code = kTop, .name = "経費"_sjis, .total = true});
  host_.Exec("UPDATE account_class SET parent_class = " + std::to_string(kTop) +
             " WHERE class_code = " + std::to_string(kSga));
  host_.AddAccountClass({.code = kLoopA, .name = "A"_sjis, .parent = kLoopB, .total = true});
  host_.AddAccountClass({.code = kLoopB, .name = "B"_sjis, .parent = kLoopA, .total = true});
  host_.AddAccount(
      {.accountId = 5, .code = "700", .name = "雑費"_sjis, .classCode = kLoopA, .balanceSide = 2});
  host_.AddJournal({.date = 20140110,
                    .debit = {.account = 5, .amount = 40, .dept = 10},
                    .credit = {.account = 1, .amount = 40, .dept = 10},
                    .monthKind = 1});
  std::vector<StKAMOKUSUMINFO> r = Sums(nullptr, 0, nullptr);
  ASSERT_EQ(r.size(), 9u);
  const struct {
    uint32_t code;
    int64_t month1;
    int64_t month2;
    uint8_t side;
  } kTotals[] = {{kTop, 1500, 300, 1}, {kSga, 1500, 300, 1}, {kLoopA, 40, 0, 2},
                 {kLoopB, 40, 0, 2}};
  for (size_t i = 0; i < std::size(kTotals); ++i) {
    const StKAMOKUSUMINFO& total = r[5 + i];
    SCOPED_TRACE(i);
    EXPECT_EQ(total.totalFlag, 1);
    EXPECT_EQ(total.classCode, kTotals[i].code);
    EXPECT_EQ(total.debit[1], kTotals[i].month1);
    EXPECT_EQ(total.debit[2], kTotals[i].month2);
    EXPECT_EQ(total.balanceSide, kTotals[i].side);
  }
}

TEST_F(SumsAccountsTest, TheFilterChoosesTheMonthKinds) {
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0] = {kFieldMonthKind, 0, kOpEqual, {}, kValueInt16, {}, 18, {}, 0,
                          kLinkOr,         {}};
  filter.conditions[1] = {kFieldMonthKind, 0, kOpEqual, {}, kValueInt16, {}, 15, {}, 0,
                          kLinkLast,       {}};
  std::vector<StKAMOKUSUMINFO> r = Sums(&filter, 0, nullptr);
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[1].debit[1], 0);
  EXPECT_EQ(r[1].debit[13], 9);
  EXPECT_EQ(r[2].debit[14], 70);
  EXPECT_EQ(r[4].debit[13], 9);
}

// The sums come from what the check of the derived data read: a change to
// the lines shows at the next call, and an entry whose sum over the rates
// passes 64 bits fails only where the filter takes it.
TEST_F(SumsAccountsTest, SumsFollowChangesAndOverflowOnlyWhereTaken) {
  ASSERT_EQ(Sums(nullptr, 0, nullptr)[1].debit[1], 1500);
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount + 7 WHERE debit_account = 2");
  EXPECT_EQ(Sums(nullptr, 0, nullptr)[1].debit[1], 1514);
  EXPECT_NE(sqlite3_get_autocommit(host_.Db()), 0);

  const int64_t half = (int64_t{1} << 62) + 1;
  for (int32_t rate : {800, 500}) {  // rows of their own in every table of totals
    host_.AddJournal({.date = 20140310,
                      .debit = {.account = 4, .amount = half, .dept = rate},
                      .credit = {.account = 1, .amount = 1},
                      .rate = rate,
                      .monthKind = 3});
  }
  std::unique_ptr<ClRuleKamoku> rule(new (std::nothrow) ClRuleKamoku);
  EXPECT_EQ(rule->MoveReady(1, 0, 0, nullptr, nullptr, 0), mvhost::kErrOverflow);
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0] = {kFieldMonthKind, 0, kOpEqual, {}, kValueInt16, {}, 1, {}, 0,
                          kLinkLast,       {}};
  EXPECT_EQ(Sums(&filter, 0, nullptr)[1].debit[1], 1514);
}

// Each record handed out is whole wherever the walk starts and whatever the
// caller's buffer held; a total class whose sum passes 64 bits fails though
// none of its accounts does, summed from the kept totals, from the lines and
// by department.
TEST_F(SumsAccountsTest, RecordsAreWholeFromAnyPositionAndTotalsOverflow) {
  const std::vector<StKAMOKUSUMINFO> r = Sums(nullptr, 0, nullptr);
  std::unique_ptr<ClRuleKamoku> rule(new (std::nothrow) ClRuleKamoku);
  ASSERT_EQ(rule->MoveReady(1, 0, 0, nullptr, nullptr, 0), 0);
  for (const int32_t at : {3, 1, 4, 0, 2}) {
    StKAMOKUSUMINFO record;
    std::memset(&record, 0xA5, sizeof(record));
    ASSERT_EQ(rule->SetMovePos(at), 0);
    ASSERT_EQ(rule->MoveNext(&record), 0);
    EXPECT_EQ(std::memcmp(&record, &r[static_cast<size_t>(at)], sizeof(record)), 0) << at;
  }

  const int64_t big = (int64_t{1} << 62);
  for (const int32_t account : {2, 3}) {  // both below the total class kSga
    host_.AddJournal({.date = 20140110,
                      .debit = {.account = account, .amount = big, .dept = 10},
                      .credit = {.account = 4, .amount = 1, .dept = 10},
                      .monthKind = 1});
  }
  StFINDINFO byTaxClass;  // a filter the kept totals cannot serve: the lines are read
  std::memset(&byTaxClass, 0, sizeof(byTaxClass));
  byTaxClass.conditions[0] = {kFieldTaxClass, kSideDebit, kOpGreaterOrEqual, {}, kValueInt32, {},
                              0,              {},         0,                 kLinkLast,   {}};
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  department.code = 10;
  const struct {
    const StFINDINFO* filter;
    int32_t deptSumType;
  } kWays[] = {{nullptr, 0}, {&byTaxClass, 0}, {nullptr, 4}};
  for (const auto& way : kWays) {
    EXPECT_EQ(rule->MoveReady(1, way.deptSumType, 0, way.filter, &department, 0),
              mvhost::kErrOverflow)
        << way.deptSumType;
    int32_t count = 0;
    EXPECT_EQ(rule->GetSumCount(&count), mvhost::kErrNotReady);
  }
}

TEST_F(SumsAccountsTest, ADepartmentCountsOnlyItsOwnSides) {
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  department.code = 20;
  std::vector<StKAMOKUSUMINFO> r = Sums(nullptr, 4, &department);
  EXPECT_EQ(r[1].debit[1], 500);
  EXPECT_EQ(r[1].debit[13], 9);
  EXPECT_EQ(r[1].credit[2], 0);  // the refund was booked to department 10
  EXPECT_EQ(r[2].debit[2], 0);
  // Sum type 0 ignores a department that is handed over.
  EXPECT_EQ(Sums(nullptr, 0, &department)[1].debit[1], 1500);
  std::unique_ptr<ClRuleKamoku> rule(new (std::nothrow) ClRuleKamoku);
  EXPECT_EQ(rule->MoveReady(1, 4, 0, nullptr, nullptr, 0), mvhost::kErrBadArgument);
}

TEST_F(SumsAccountsTest, JournalChecksByRateAndBusinessType) {
  host_.AddJournal({.date = 20140301,
                    .credit = {.account = 4, .amount = 10, .taxClass = 1},
                    .rate = 1000,
                    .businessType = 6});
  host_.AddJournal({.date = 20140302,
                    .credit = {.account = 4, .amount = 10, .taxClass = 1},
                    .rate = 300,
                    .businessType = 6});
  host_.AddJournal({.date = 20140303,
                    .credit = {.account = 4, .amount = 10, .taxClass = 1},
                    .rate = 800,
                    .businessType = 2});
  std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
  uint32_t flags = 0;
  ASSERT_EQ(rule->CheckExistSwkByZeiRate(nullptr, &flags, 1), 0);
  // The rate-0 lines of January 2014 count as 5 %: bits 3, 5, 8 and 10 %.
  EXPECT_EQ(flags, 1u | 2u | 4u | 8u);
  int32_t count = -1;
  ASSERT_EQ(rule->CheckExistSwkByJigyoBunrui(nullptr, 6, &count), 0);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(rule->CheckExistSwkByJigyoBunrui(nullptr, 5, &count), 0);
  EXPECT_EQ(count, 0);

  StFINDINFO march;
  std::memset(&march, 0, sizeof(march));
  march.conditions[0] = {kFieldMonthKind, 0, kOpEqual, {}, kValueInt16, {}, 3, {}, 0,
                         kLinkLast,       {}};
  flags = 0;
  host_.Exec("UPDATE journal_line SET month_kind = 4 WHERE tax_rate = 1000");
  ASSERT_EQ(rule->CheckExistSwkByZeiRate(&march, &flags, 1), 0);
  EXPECT_EQ(flags & 8u, 0u);
}

TEST_F(SumsAccountsTest, JournalLinesCarryBothSides) {
  std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
  ASSERT_EQ(rule->MoveReady(nullptr, nullptr, nullptr, 4), 0);
  StSWKTINFO line;
  ASSERT_EQ(rule->MoveNext(&line), 0);
  EXPECT_EQ(line.lineNo, 1);
  EXPECT_EQ(line.date, 20140110);
  EXPECT_EQ(line.monthKind, 1);
  EXPECT_EQ(line.debitAccountId, 2);
  EXPECT_EQ(line.debitDeptCode, 10);
  EXPECT_EQ(line.debitAmount, 1000);
  EXPECT_EQ(line.debitTax, 80);
  EXPECT_EQ(line.creditAccountId, 1);
  EXPECT_EQ(line.creditAmount, 1080);
  int n = 1;
  while (rule->MoveNext(&line) == 0) ++n;
  EXPECT_EQ(n, 6);
  EXPECT_EQ(rule->MoveFinish(), 0);
  EXPECT_EQ(rule->MoveNext(&line), mvhost::kErrNotReady);
}

TEST_F(SumsAccountsTest, FixedAssetsAcquiredInADateRange) {
  host_.AddAsset({.assetId = 1,
                  .code = "A1",
                  .name = "車両"_sjis,
                  .kind = 1,
                  .acquisitionDate = 20140331,
                  .acquisitionAmount = 5000000,
                  .incomeKind = 2});
  host_.AddAsset({.assetId = 2,
                  .code = "A2",
                  .name = "創立費"_sjis,
                  .kind = 9,
                  .acquisitionDate = 20140401,
                  .acquisitionAmount = 700000});
  host_.AddAsset({.assetId = 3,
                  .code = "A3",
                  .name = "建物"_sjis,
                  .acquisitionDate = 20141001,
                  .acquisitionAmount = 1});
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0] = {
      kFieldAssetDate, 0, kOpGreaterOrEqual, {}, kValueInt32, {}, 20140331, {}, 0, kLinkAnd, {}};
  filter.conditions[1] = {kFieldAssetDate, 0, kOpLessOrEqual, {}, kValueInt32, {}, 20140930, {}, 0,
                          kLinkLast,       {}};
  std::unique_ptr<ClRuleGenkashokyaku> rule(new (std::nothrow) ClRuleGenkashokyaku);
  ASSERT_EQ(rule->MoveReady(&filter, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), 2);
  StKOTEISHISANINFO asset;
  StKOTEINENINFO year;
  StKOTEITSUKIINFO month;
  std::memset(&year, 0xFF, sizeof(year));
  ASSERT_EQ(rule->Move(0, &asset, &year, &month), 0);
  EXPECT_EQ(asset.assetId, 1);
  EXPECT_STREQ(asset.name, "車両"_sjis);
  EXPECT_EQ(asset.acquisitionAmount, 5000000);
  EXPECT_EQ(asset.incomeKind, 2);
  EXPECT_EQ(year.bytes[0], 0);
  ASSERT_EQ(rule->Move(1, &asset, &year, &month), 0);
  EXPECT_EQ(asset.kind, 9);
  EXPECT_EQ(rule->Move(2, &asset, &year, &month), kHostEndOfData);
  EXPECT_EQ(rule->MoveFinish(), 0);
}

TEST_F(SumsAccountsTest, SavedReturnImage) {
  std::unique_ptr<ClSaveTaxShiryo> reader(new (std::nothrow) ClSaveTaxShiryo);
  StSaveTaxInfo out;
  EXPECT_EQ(reader->RefreshCache(), 0);
  EXPECT_EQ(reader->GetTaxSaveInfo(&out), mvhost::kNoticeNothingSaved);

  StSaveTaxInfo saved;
  std::memset(&saved, 0, sizeof(saved));
  saved.taxationMethod = 2;
  saved.periodStart = 20140101;
  saved.refundAmounts[15] = -7;
  host_.SaveReturn(1, saved);
  EXPECT_EQ(reader->RefreshCache(), 0);
  ASSERT_EQ(reader->GetTaxSaveInfo(&out), 0);
  EXPECT_EQ(std::memcmp(&out, &saved, sizeof(out)), 0);

  host_.SaveReturnBytes(1, std::string(100, '\1'));
  EXPECT_EQ(reader->RefreshCache(), mvhost::kErrBadImage);
  EXPECT_EQ(reader->GetTaxSaveInfo(&out), mvhost::kErrBadImage);
}

}  // namespace
}  // namespace taxlink::testing
