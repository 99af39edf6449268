// The passes against the embedded host, with figures worked out by hand.
// Amounts are raw amounts: yen x 10000.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "aggregation/AddTaxDlg.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "tests/support/HostFixture.h"

namespace taxlink {
namespace {

using testing::HostFixture;
using testing::HostStorage;

constexpr int64_t kYen = 10000;

// Account ids of the test chart.
constexpr int32_t kCash = 1;
constexpr int32_t kPurchases = 2;   // merchandise detail class
constexpr int32_t kSalaries = 3;    // selling and administrative
constexpr int32_t kSupplies = 4;    // expenses (individual)

class PassesTest : public ::testing::Test {
 protected:
  void AddChart() {
    host_.AddAccountClass({.code = 0x01100000, .name = "現金及び預金", .parent = std::nullopt, .total = true});
    host_.AddAccountClass({.code = 0x20400000, .name = "仕入高", .parent = std::nullopt});
    host_.AddAccountClass({.code = 0x40882000, .name = "販売費及び一般管理費", .parent = std::nullopt, .total = true});
    host_.AddAccountClass({.code = 0x40882040, .name = "人件費", .parent = 0x40882000u});
    host_.AddAccountClass({.code = 0x40882010, .name = "一般管理費", .parent = 0x40882000u});
    host_.AddAccount({.accountId = kCash, .code = "111", .name = "現金", .classCode = 0x01100000});
    host_.AddAccount(
        {.accountId = kPurchases, .code = "501", .name = "仕入高", .classCode = 0x20400000});
    host_.AddAccount(
        {.accountId = kSalaries, .code = "601", .name = "給料手当", .classCode = 0x40882040});
    host_.AddAccount(
        {.accountId = kSupplies, .code = "701", .name = "消耗品費", .classCode = 0x40882010});
  }

  void Select(const testing::DataSetSpec& wanted) {
    dataNo_ = host_.AddDataSet(wanted);
    host_.SelectForUser("U01", dataNo_);
    std::memset(&dataSet_, 0, sizeof(dataSet_));
    std::strncpy(dataSet_.dataId, wanted.dataId.c_str(), sizeof(dataSet_.dataId) - 1);
    dataSet_.dataNo = dataNo_;
    dataSet_.periodStart = wanted.periodStart;
    dataSet_.periodEnd = wanted.periodEnd;
    dataSet_.interimClosing = wanted.interimClosing ? 1 : 0;
    dataSet_.entityKind = static_cast<uint8_t>(wanted.entityKind);
    dataSet_.incomeKind = static_cast<uint8_t>(wanted.incomeKind);
    std::memset(&settings_, 0, sizeof(settings_));
    settings_.filingClass = static_cast<uint8_t>(wanted.filingClass);
    settings_.taxIncluded = wanted.taxIncluded ? 1 : 0;
    // Allocated as the run does, with the host's row count.
    auto* taxSettings =
        dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
    ASSERT_NE(taxSettings, nullptr);
    tables_.Allocate(static_cast<int16_t>(taxSettings->GetTaxRateCount()));
  }

  // Aggregates the whole year (startMonth..endMonth) with a fresh dialog.
  void Aggregate(int startMonth, int endMonth) {
    AddTaxDlg dialog;
    dialog.CreateModeless();
    dialog.BuildAggregationFilter(dataSet_, startMonth, endMonth);
    corporateResult_ = dialog.SumCorporateRefundLines(tables_, dataSet_, settings_);
    individualResult_ = dialog.SumIndividualRefundLines(tables_, dataSet_, settings_);
  }

  HostFixture host_{HostStorage::kMemory};
  int32_t dataNo_ = 0;
  StDATAINFO dataSet_;
  StSHOHIZEIINFO settings_;
  TaxSummaryTables tables_;
  int corporateResult_ = -1;
  int individualResult_ = -1;
};

// A corporation, April 2014 to March 2015.
class CorporatePassTest : public PassesTest {
 protected:
  void Build(bool taxIncluded) {
    Select({.entityKind = 0, .taxIncluded = taxIncluded, .rates = {}});
    AddChart();
    // Taxable purchase: book amount only.
    host_.AddJournal({.date = 20140410,
                      .debit = {.account = kPurchases, .amount = 1000000 * kYen,
                                .tax = 80000 * kYen, .taxClass = 21},
                      .credit = {.account = kCash, .amount = 1080000 * kYen}});
    // Non-taxable purchase (class 24) of 10000 yen with 800 yen tax.
    host_.AddJournal({.date = 20140520,
                      .debit = {.account = kPurchases, .amount = 10000 * kYen,
                                .tax = 800 * kYen, .taxClass = 24},
                      .credit = {.account = kCash, .amount = 10800 * kYen}});
    // Return on the credit side of the merchandise account, class 24.
    host_.AddJournal({.date = 20140702,
                      .debit = {.account = kCash, .amount = 2000 * kYen},
                      .credit = {.account = kPurchases, .amount = 2000 * kYen, .taxClass = 24}});
    // Salaries: not a taxable purchase (class 0).
    host_.AddJournal({.date = 20140625,
                      .debit = {.account = kSalaries, .amount = 300000 * kYen},
                      .credit = {.account = kCash, .amount = 300000 * kYen}});
    host_.AddAsset({.assetId = 1, .code = "A1", .name = "車両", .kind = 1,
                    .acquisitionDate = 20140815, .acquisitionAmount = 500000 * kYen});
    host_.AddAsset({.assetId = 2, .code = "A2", .name = "創立費", .kind = 9,
                    .acquisitionDate = 20141001, .acquisitionAmount = 120000 * kYen});
    // Acquired after the period: not counted.
    host_.AddAsset({.assetId = 3, .code = "A3", .name = "備品", .kind = 1,
                    .acquisitionDate = 20150415, .acquisitionAmount = 999999 * kYen});
  }
};

TEST_F(CorporatePassTest, TaxExcludedBooks) {
  Build(false);
  Aggregate(4, 3);
  EXPECT_EQ(corporateResult_, 1);
  EXPECT_EQ(tables_.corpMerchandisePurchases.bookAmount, (1000000 + 10000 - 2000) * kYen);
  // Debit 10000 added, credit 2000 subtracted.
  EXPECT_EQ(tables_.corpMerchandisePurchases.nonTaxablePart, (10000 - 2000) * kYen);
  // The class total of 0x40882000 replaces the line's book amount.
  EXPECT_EQ(tables_.corpSellingAdminExpenses.bookAmount, 300000 * kYen);
  EXPECT_EQ(tables_.corpSellingAdminExpenses.nonTaxablePart, 300000 * kYen);
  EXPECT_EQ(tables_.corpNonOperatingExpenses.bookAmount, 0);
  EXPECT_EQ(tables_.corpOtherItems.nonTaxablePart, 0);
  EXPECT_EQ(tables_.corpFixedAssets, 500000 * kYen);
  EXPECT_EQ(tables_.corpDeferredAssets, 120000 * kYen);
  // Nothing for individuals.
  EXPECT_EQ(individualResult_, 1);
  EXPECT_EQ(tables_.indBusinessPurchases.bookAmount, 0);
}

TEST_F(CorporatePassTest, TaxIncludedBooksAddTheTax) {
  Build(true);
  Aggregate(4, 3);
  // 10000 yen with 800 yen tax under class 24 counts 10800 yen.
  EXPECT_EQ(tables_.corpMerchandisePurchases.nonTaxablePart, (10800 - 2000) * kYen);
}

TEST_F(CorporatePassTest, RangeWithoutTheJournalsAndAssets) {
  Build(false);
  // January to March 2015: none of the lines or assets.
  Aggregate(1, 3);
  EXPECT_EQ(tables_.corpMerchandisePurchases.bookAmount, 0);
  EXPECT_EQ(tables_.corpMerchandisePurchases.nonTaxablePart, 0);
  EXPECT_EQ(tables_.corpFixedAssets, 0);
  EXPECT_EQ(tables_.corpDeferredAssets, 0);
}

// An individual, January to December 2014, several kinds of income.
class IndividualPassTest : public PassesTest {
 protected:
  void Build(int incomeKind, bool withDepartments) {
    Select({.dataId = "I001", .periodStart = 20140101, .periodEnd = 20141231, .entityKind = 3,
            .incomeKind = incomeKind, .rates = {}});
    AddChart();
    if (withDepartments) {
      host_.AddDepartment({.code = 10, .name = "事業", .kind = 2, .incomeKind = 1});
      host_.AddDepartment({.code = 20, .name = "不動産", .kind = 2, .incomeKind = 3});
    }
    // Purchases of the business department, non-taxable.
    host_.AddJournal({.date = 20140310,
                      .debit = {.account = kPurchases, .amount = 100000 * kYen, .taxClass = 24,
                                .dept = 10},
                      .credit = {.account = kCash, .amount = 100000 * kYen, .dept = 10}});
    // Expenses of the real-estate department, non-taxable.
    host_.AddJournal({.date = 20140412,
                      .debit = {.account = kSupplies, .amount = 50000 * kYen, .taxClass = 24,
                                .dept = 20},
                      .credit = {.account = kCash, .amount = 50000 * kYen, .dept = 20}});
    // Expenses of the business department, taxable purchase.
    host_.AddJournal({.date = 20140515,
                      .debit = {.account = kSupplies, .amount = 30000 * kYen,
                                .tax = 2400 * kYen, .taxClass = 21, .dept = 10},
                      .credit = {.account = kCash, .amount = 32400 * kYen, .dept = 10}});
    host_.AddAsset({.assetId = 1, .code = "P1", .name = "パソコン", .acquisitionDate = 20140601,
                    .acquisitionAmount = 200000 * kYen, .incomeKind = 1});
    host_.AddAsset({.assetId = 2, .code = "R1", .name = "外壁", .acquisitionDate = 20141020,
                    .acquisitionAmount = 300000 * kYen, .incomeKind = 2});
  }
};

TEST_F(IndividualPassTest, SeveralIncomesAreSplitByDepartment) {
  Build(3, true);
  Aggregate(1, 12);
  EXPECT_EQ(individualResult_, 1);
  EXPECT_EQ(tables_.indBusinessPurchases.bookAmount, 100000 * kYen);
  EXPECT_EQ(tables_.indBusinessPurchases.nonTaxablePart, 100000 * kYen);
  EXPECT_EQ(tables_.indBusinessExpenses.bookAmount, 30000 * kYen);
  EXPECT_EQ(tables_.indBusinessExpenses.nonTaxablePart, 0);
  EXPECT_EQ(tables_.indRealEstateExpenses.bookAmount, 50000 * kYen);
  EXPECT_EQ(tables_.indRealEstateExpenses.nonTaxablePart, 50000 * kYen);
  EXPECT_EQ(tables_.indOtherPurchases.bookAmount, 0);
  EXPECT_EQ(tables_.indOtherExpenses.bookAmount, 0);
  EXPECT_EQ(tables_.indBusinessFixedAssets.bookAmount, 200000 * kYen);
  EXPECT_EQ(tables_.indRealEstateFixedAssets.bookAmount, 300000 * kYen);
  EXPECT_EQ(tables_.indOtherFixedAssets.bookAmount, 0);
  // Nothing for corporations.
  EXPECT_EQ(corporateResult_, 1);
  EXPECT_EQ(tables_.corpMerchandisePurchases.bookAmount, 0);
}

TEST_F(IndividualPassTest, SeveralIncomesWithoutDepartmentsGoToBusiness) {
  Build(3, false);
  Aggregate(1, 12);
  EXPECT_EQ(tables_.indBusinessPurchases.bookAmount, 100000 * kYen);
  EXPECT_EQ(tables_.indBusinessExpenses.bookAmount, 80000 * kYen);
  EXPECT_EQ(tables_.indBusinessExpenses.nonTaxablePart, 50000 * kYen);
  EXPECT_EQ(tables_.indRealEstateExpenses.bookAmount, 0);
  EXPECT_EQ(tables_.indRealEstateExpenses.nonTaxablePart, 0);
  EXPECT_EQ(tables_.indOtherExpenses.bookAmount, 0);
}

TEST_F(IndividualPassTest, BusinessIncomeOnlyIgnoresDepartments) {
  Build(1, true);
  Aggregate(1, 12);
  EXPECT_EQ(tables_.indBusinessExpenses.nonTaxablePart, 50000 * kYen);
  EXPECT_EQ(tables_.indRealEstateExpenses.nonTaxablePart, 0);
  // Every asset belongs to the business, whatever its own income kind.
  EXPECT_EQ(tables_.indBusinessFixedAssets.bookAmount, 500000 * kYen);
  EXPECT_EQ(tables_.indRealEstateFixedAssets.bookAmount, 0);
}

// Balance sides 1 and 2 count debit minus credit, anything else credit minus
// debit: {side, expected business expenses}.
class BalanceSideTest : public IndividualPassTest,
                        public ::testing::WithParamInterface<std::pair<int, int64_t>> {};

TEST_P(BalanceSideTest, DecidesTheSignOfTheBookAmount) {
  Build(1, false);
  host_.Exec("UPDATE account SET balance_side = " + std::to_string(GetParam().first) +
             " WHERE account_id = " + std::to_string(kSupplies));
  Aggregate(1, 12);
  EXPECT_EQ(tables_.indBusinessExpenses.bookAmount, GetParam().second);
  // Journal parts do not depend on the balance side.
  EXPECT_EQ(tables_.indBusinessExpenses.nonTaxablePart, 50000 * kYen);
}

INSTANTIATE_TEST_SUITE_P(Sides, BalanceSideTest,
                         ::testing::Values(std::make_pair(1, 80000 * kYen),
                                           std::make_pair(2, 80000 * kYen),
                                           std::make_pair(0, -80000 * kYen)));

class PreCheckTest : public PassesTest {
 protected:
  void SetUp() override {
    Select({});
    AddChart();
    dialog_.CreateModeless();
    dialog_.BuildAggregationFilter(dataSet_, 4, 3);
  }
  void AddLine(int32_t debitClass, int32_t creditClass, int32_t rate = 800,
               int32_t businessType = 0) {
    host_.AddJournal({.date = 20140601,
                      .debit = {.account = kPurchases, .amount = 1000 * kYen,
                                .taxClass = debitClass},
                      .credit = {.account = kCash, .amount = 1000 * kYen, .taxClass = creditClass},
                      .rate = rate,
                      .businessType = businessType});
  }
  AddTaxDlg dialog_;
};

TEST_F(PreCheckTest, NoJournalsFindNothing) {
  int32_t count = 0;
  int32_t found = 0;
  EXPECT_EQ(dialog_.CheckSixthBusinessTypeJournals(6, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(dialog_.CheckTenPercentJournals(&found), 0);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(dialog_.CheckImportTaxClassJournals(), 0);
}

TEST_F(PreCheckTest, CreditSideClass36IsAnUndeterminedImport) {
  AddLine(0, 36);
  EXPECT_EQ(dialog_.CheckImportTaxClassJournals(), 1);
}

TEST_F(PreCheckTest, Classes34And38AreNot) {
  AddLine(34, 0);
  AddLine(0, 38);
  AddLine(30, 0);
  EXPECT_EQ(dialog_.CheckImportTaxClassJournals(), 0);
}

TEST_F(PreCheckTest, TenPercentLinesAreFound) {
  AddLine(21, 0, 1000);
  int32_t found = 0;
  EXPECT_EQ(dialog_.CheckTenPercentJournals(&found), 0);
  EXPECT_EQ(found, 1);
}

TEST_F(PreCheckTest, SixthBusinessTypeLinesAreCounted) {
  AddLine(0, 1, 800, 6);
  AddLine(0, 1, 800, 6);
  AddLine(0, 1, 800, 5);
  int32_t count = 0;
  EXPECT_EQ(dialog_.CheckSixthBusinessTypeJournals(6, &count), 0);
  EXPECT_EQ(count, 2);
}

class TaxReturnPassTest : public PassesTest {};

TEST_F(TaxReturnPassTest, TablesSmallerThanTheHostsRowsAreNotWritten) {
  Select({});
  ASSERT_GT(tables_.rateCount, 3);
  tables_.Allocate(3);
  AddTaxDlg dialog;
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  EXPECT_EQ(dialog.SumTaxReturn(tables_), 0);
  EXPECT_EQ(tables_.rateInfo[0].rate, 0);
}

TEST_F(TaxReturnPassTest, EmptyDataSetStillLabelsTheRows) {
  Select({});
  AddTaxDlg dialog;
  dialog.CreateModeless();
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  EXPECT_EQ(dialog.SumTaxReturn(tables_), 1);
  const int32_t rates[] = {800, 500, 300};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(tables_.rateInfo[k].rate, rates[k]);
    EXPECT_EQ(tables_.rateInfo[k].taxableSalesExcl, 0);
    for (int j = 0; j < kBusinessTypesPerRate; ++j) {
      const StTAXREPORTBUSINESSTYPEINFO& record = tables_.businessTypeInfo[k * 6 + j];
      EXPECT_EQ(record.rate, rates[k]);
      EXPECT_EQ(record.businessType, j + 1);
      EXPECT_EQ(record.salesIncl, 0);
    }
  }
}

TEST_F(TaxReturnPassTest, EmptyAccountListLeavesLegacySumsAtZero) {
  Select({});
  AddTaxDlg dialog;
  dialog.CreateModeless();
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  EXPECT_EQ(dialog.BuildAccountList(1), 1);
  EXPECT_TRUE(dialog.accountList().empty());
  int64_t sums[2] = {0, 0};
  EXPECT_EQ(dialog.WalkLegacyRates(sums, settings_), 1);
  EXPECT_EQ(sums[0], 0);
  EXPECT_EQ(sums[1], 0);
  EXPECT_EQ(dialog.detailTickCounter(), 10);
}

TEST_F(TaxReturnPassTest, AccountListHoldsTheListedClassesOnly) {
  Select({});
  AddChart();
  host_.AddAccount({.accountId = 9, .code = "509", .name = "除外", .classCode = 0x20400000,
                    .excluded = true});
  AddTaxDlg dialog;
  dialog.CreateModeless();
  EXPECT_EQ(dialog.BuildAccountList(2), 1);
  // Cash is of another class and account 9 is excluded.
  ASSERT_EQ(dialog.accountList().size(), 3u);
  int32_t idSum = 0;
  for (const StKAMOKUINFO& account : dialog.accountList()) {
    EXPECT_NE(account.accountId, kCash);
    EXPECT_NE(account.accountId, 9);
    idSum += account.accountId;
  }
  EXPECT_EQ(idSum, kPurchases + kSalaries + kSupplies);
}

// The host keeps securities sales at one twentieth; every row but the last
// (the host's totals row) is restored to the full amount.
TEST_F(TaxReturnPassTest, SecuritiesFigureIsRestoredOnEveryRowButTheLast) {
  Select({});
  ASSERT_EQ(tables_.rateCount, 4);
  host_.AddAccount({.accountId = 1, .code = "100", .name = "現金", .classCode = 0x10000000});
  host_.AddAccount({.accountId = 2, .code = "400", .name = "有価証券売却", .classCode = 0x40888000});
  auto securitiesSale = [](int64_t amount, int32_t rate) {
    return testing::JournalSpec{.date = 20140510,
                                .debit = {.account = 1, .amount = amount},
                                .credit = {.account = 2, .amount = amount, .taxClass = 4},
                                .rate = rate};
  };
  host_.AddJournal(securitiesSale(100000 * kYen, 800));
  host_.AddJournal(securitiesSale(40000 * kYen, 300));
  AddTaxDlg dialog;
  dialog.CreateModeless();
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  ASSERT_EQ(dialog.SumTaxReturn(tables_), 1);
  const int64_t expected[] = {100000 * kYen, 0, 40000 * kYen, (100000 + 40000) * kYen / 20};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(tables_.rateInfo[k].securitiesSales, expected[k]) << "row " << k;
  }
}

// Legacy-rate sums take the summary amounts of the listed accounts only, per
// rate: index 0 the 5 % lines, index 1 the 3 % lines.
TEST_F(TaxReturnPassTest, LegacyRateSumsOfTheListedAccounts) {
  Select({});
  host_.AddAccount({.accountId = 1, .code = "100", .name = "現金", .classCode = 0x10000000});
  host_.AddAccount({.accountId = 2, .code = "400", .name = "旧税率", .classCode = 0x40888000});
  auto line = [](int64_t amount, int32_t rate) {
    return testing::JournalSpec{.date = 20140610,
                                .debit = {.account = 2, .amount = amount, .taxClass = 21},
                                .credit = {.account = 1, .amount = amount},
                                .rate = rate};
  };
  host_.AddJournal(line(5000 * kYen, 500));
  host_.AddJournal(line(700 * kYen, 500));
  host_.AddJournal(line(3000 * kYen, 300));
  host_.AddJournal(line(90000 * kYen, 800));
  AddTaxDlg dialog;
  dialog.CreateModeless();
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  int64_t sums[2] = {0, 0};
  ASSERT_EQ(dialog.WalkLegacyRates(sums, settings_), 1);
  ASSERT_EQ(dialog.accountList().size(), 1u);
  EXPECT_EQ(sums[0], 5700 * kYen);
  EXPECT_EQ(sums[1], 3000 * kYen);
  EXPECT_EQ(dialog.detailTickCounter(), 10);
}

TEST_F(TaxReturnPassTest, FilterFromTheHostPeriod) {
  Select({});
  AddTaxDlg dialog;
  dialog.BuildAggregationFilter(dataSet_, 4, 3);
  EXPECT_EQ(dialog.filter.conditions[0].value, 1);
  EXPECT_EQ(dialog.filter.conditions[1].value, 12);
  EXPECT_EQ(dialog.filter.conditions[2].value, 18);
}

}  // namespace
}  // namespace taxlink
