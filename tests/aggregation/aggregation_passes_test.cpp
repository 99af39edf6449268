// The passes against the embedded host, with figures worked out by hand.
// Amounts are raw amounts: yen x 10000.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "aggregation/AccountList.h"
#include "aggregation/AggregationEngine.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/JournalPreChecks.h"
#include "aggregation/ProgressSink.h"
#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StDATAINFO.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

using testing::HostFixture;
using testing::HostStorage;

constexpr int64_t kYen = 10000;

// Account ids of the test chart.
constexpr int32_t kCash = 1;
constexpr int32_t kPurchases = 2;  // merchandise detail class
constexpr int32_t kSalaries = 3;   // selling and administrative
constexpr int32_t kSupplies = 4;   // expenses (individual)

class PassesTest : public ::testing::Test {
 protected:
  void AddChart() {
    host_.AddAccountClass(
        {.code = 0x01100000, .name = "現金及び預金"_sjis, .parent = std::nullopt, .total = true});
    host_.AddAccountClass({.code = 0x20400000, .name = "仕入高"_sjis, .parent = std::nullopt});
    host_.AddAccountClass({.code = 0x40882000,
                           .name = "販売費及び一般管理費"_sjis,
                           .parent = std::nullopt,
                           .total = true});
    host_.AddAccountClass({.code = 0x40882040, .name = "人件費"_sjis, .parent = 0x40882000u});
    host_.AddAccountClass({.code = 0x40882010, .name = "一般管理費"_sjis, .parent = 0x40882000u});
    host_.AddAccount(
        {.accountId = kCash, .code = "111", .name = "現金"_sjis, .classCode = 0x01100000});
    host_.AddAccount(
        {.accountId = kPurchases, .code = "501", .name = "仕入高"_sjis, .classCode = 0x20400000});
    host_.AddAccount(
        {.accountId = kSalaries, .code = "601", .name = "給料手当"_sjis, .classCode = 0x40882040});
    host_.AddAccount(
        {.accountId = kSupplies, .code = "701", .name = "消耗品費"_sjis, .classCode = 0x40882010});
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
    Status read = ReadTaxSettings(dataSet_, &settings_);
    ASSERT_TRUE(read.ok()) << read.ToString();
  }

  // Runs the engine over startMonth..endMonth, with a trace.
  Status Aggregate(int startMonth, int endMonth, ProgressSink& progress = ProgressSink::None()) {
    AggregationEngine engine(dataSet_, startMonth, endMonth, settings_);
    trace_ = {};
    status_ = engine.Run(progress, &tables_, &trace_);
    EXPECT_TRUE(status_.ok()) << status_.ToString();
    if (status_.ok()) ExpectTraceAddsUp();
    return status_;
  }

  // Every figure the program sums is what its traced contributions make.
  void ExpectTraceAddsUp() const {
    for (int i = 0; i < kFigureCount; ++i) {
      const auto figure = static_cast<Figure>(i);
      EXPECT_EQ(trace_.Total(figure), FigureValue(tables_, figure)) << "figure " << i;
    }
  }

  // Adds up the contributions per figure (a replacement starts afresh).
  struct SummingTrace : FigureTrace {
    void Contribute(const Contribution& c) override {
      int64_t& total = totals[static_cast<int>(c.figure)];
      total = c.replaces ? c.amount : total + c.amount;
      contributions.push_back(c);
    }
    int64_t Total(Figure figure) const { return totals[static_cast<int>(figure)]; }
    int64_t totals[kFigureCount] = {};
    std::vector<Contribution> contributions;
  };

  HostFixture host_{HostStorage::kMemory};
  int32_t dataNo_ = 0;
  StDATAINFO dataSet_;
  TaxSettings settings_;
  TaxSummaryTables tables_;
  SummingTrace trace_;
  Status status_;
};

// A corporation, April 2014 to March 2015.
class CorporatePassTest : public PassesTest {
 protected:
  void Build(bool taxIncluded) {
    Select({.entityKind = 0, .taxIncluded = taxIncluded, .rates = {}});
    AddChart();
    // Taxable purchase: book amount only.
    host_.AddJournal({.date = 20140410,
                      .debit = {.account = kPurchases,
                                .amount = 1000000 * kYen,
                                .tax = 80000 * kYen,
                                .taxClass = 21},
                      .credit = {.account = kCash, .amount = 1080000 * kYen}});
    // Non-taxable purchase (class 24) of 10000 yen with 800 yen tax.
    host_.AddJournal({.date = 20140520,
                      .debit = {.account = kPurchases,
                                .amount = 10000 * kYen,
                                .tax = 800 * kYen,
                                .taxClass = 24},
                      .credit = {.account = kCash, .amount = 10800 * kYen}});
    // Return on the credit side of the merchandise account, class 24.
    host_.AddJournal({.date = 20140702,
                      .debit = {.account = kCash, .amount = 2000 * kYen},
                      .credit = {.account = kPurchases, .amount = 2000 * kYen, .taxClass = 24}});
    // Salaries: not a taxable purchase (class 0).
    host_.AddJournal({.date = 20140625,
                      .debit = {.account = kSalaries, .amount = 300000 * kYen},
                      .credit = {.account = kCash, .amount = 300000 * kYen}});
    host_.AddAsset({.assetId = 1,
                    .code = "A1",
                    .name = "車両"_sjis,
                    .kind = 1,
                    .acquisitionDate = 20140815,
                    .acquisitionAmount = 500000 * kYen});
    host_.AddAsset({.assetId = 2,
                    .code = "A2",
                    .name = "創立費"_sjis,
                    .kind = 9,
                    .acquisitionDate = 20141001,
                    .acquisitionAmount = 120000 * kYen});
    // Acquired after the period: not counted.
    host_.AddAsset({.assetId = 3,
                    .code = "A3",
                    .name = "備品"_sjis,
                    .kind = 1,
                    .acquisitionDate = 20150415,
                    .acquisitionAmount = 999999 * kYen});
  }
};

TEST_F(CorporatePassTest, TaxExcludedBooks) {
  Build(false);
  Aggregate(4, 3);
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
    Select({.dataId = "I001",
            .periodStart = 20140101,
            .periodEnd = 20141231,
            .entityKind = 3,
            .incomeKind = incomeKind,
            .rates = {}});
    AddChart();
    if (withDepartments) {
      host_.AddDepartment({.code = 10, .name = "事業"_sjis, .kind = 2, .incomeKind = 1});
      host_.AddDepartment({.code = 20, .name = "不動産"_sjis, .kind = 2, .incomeKind = 3});
    }
    // Purchases of the business department, non-taxable.
    host_.AddJournal(
        {.date = 20140310,
         .debit = {.account = kPurchases, .amount = 100000 * kYen, .taxClass = 24, .dept = 10},
         .credit = {.account = kCash, .amount = 100000 * kYen, .dept = 10}});
    // Expenses of the real-estate department, non-taxable.
    host_.AddJournal(
        {.date = 20140412,
         .debit = {.account = kSupplies, .amount = 50000 * kYen, .taxClass = 24, .dept = 20},
         .credit = {.account = kCash, .amount = 50000 * kYen, .dept = 20}});
    // Expenses of the business department, taxable purchase.
    host_.AddJournal({.date = 20140515,
                      .debit = {.account = kSupplies,
                                .amount = 30000 * kYen,
                                .tax = 2400 * kYen,
                                .taxClass = 21,
                                .dept = 10},
                      .credit = {.account = kCash, .amount = 32400 * kYen, .dept = 10}});
    host_.AddAsset({.assetId = 1,
                    .code = "P1",
                    .name = "パソコン"_sjis,
                    .acquisitionDate = 20140601,
                    .acquisitionAmount = 200000 * kYen,
                    .incomeKind = 1});
    host_.AddAsset({.assetId = 2,
                    .code = "R1",
                    .name = "外壁"_sjis,
                    .acquisitionDate = 20141020,
                    .acquisitionAmount = 300000 * kYen,
                    .incomeKind = 2});
  }
};

TEST_F(IndividualPassTest, SeveralIncomesAreSplitByDepartment) {
  Build(3, true);
  Aggregate(1, 12);
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
    engine_ = std::make_unique<AggregationEngine>(dataSet_, 4, 3, settings_);
  }
  void AddLine(int32_t debitClass, int32_t creditClass, int32_t rate = 800,
               int32_t businessType = 0) {
    host_.AddJournal(
        {.date = 20140601,
         .debit = {.account = kPurchases, .amount = 1000 * kYen, .taxClass = debitClass},
         .credit = {.account = kCash, .amount = 1000 * kYen, .taxClass = creditClass},
         .rate = rate,
         .businessType = businessType});
  }
  // The checks on the year's filter, as the run builds it.
  JournalPreChecks Checks() { return JournalPreChecks(engine_->filter()); }
  bool ImportClassesFound() {
    bool found = false;
    Status status = Checks().CheckImportTaxClassJournals(&found);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return found;
  }

  std::unique_ptr<AggregationEngine> engine_;
};

TEST_F(PreCheckTest, NoJournalsFindNothing) {
  int32_t count = 0;
  int32_t found = 0;
  EXPECT_TRUE(Checks().CheckSixthBusinessTypeJournals(6, &count).ok());
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(Checks().CheckTenPercentJournals(&found).ok());
  EXPECT_EQ(found, 0);
  EXPECT_FALSE(ImportClassesFound());
}

TEST_F(PreCheckTest, CreditSideClass36IsAnUndeterminedImport) {
  AddLine(0, 36);
  EXPECT_TRUE(ImportClassesFound());
}

TEST_F(PreCheckTest, Classes34And38AreNot) {
  AddLine(34, 0);
  AddLine(0, 38);
  AddLine(30, 0);
  EXPECT_FALSE(ImportClassesFound());
}

TEST_F(PreCheckTest, TenPercentLinesAreFound) {
  AddLine(21, 0, 1000);
  int32_t found = 0;
  EXPECT_TRUE(Checks().CheckTenPercentJournals(&found).ok());
  EXPECT_EQ(found, 1);
}

TEST_F(PreCheckTest, SixthBusinessTypeLinesAreCounted) {
  AddLine(0, 1, 800, 6);
  AddLine(0, 1, 800, 6);
  AddLine(0, 1, 800, 5);
  int32_t count = 0;
  EXPECT_TRUE(Checks().CheckSixthBusinessTypeJournals(6, &count).ok());
  EXPECT_EQ(count, 2);
}

class TaxReturnPassTest : public PassesTest {};

TEST_F(TaxReturnPassTest, EmptyDataSetStillLabelsTheRows) {
  Select({});
  ASSERT_TRUE(Aggregate(4, 3).ok());
  ASSERT_EQ(tables_.rateCount, settings_.rateRows());
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
  EXPECT_EQ(tables_.legacyRateSums[0], 0);
  EXPECT_EQ(tables_.legacyRateSums[1], 0);
  EXPECT_TRUE(trace_.contributions.empty());
}

TEST_F(TaxReturnPassTest, AccountListHoldsTheListedClassesOnly) {
  Select({});
  AddChart();
  host_.AddAccount({.accountId = 9,
                    .code = "509",
                    .name = "除外"_sjis,
                    .classCode = 0x20400000,
                    .excluded = true});
  AccountList accounts;
  ASSERT_TRUE(accounts.Build(2, ProgressSink::None()).ok());
  // Cash is of another class and account 9 is excluded.
  ASSERT_EQ(accounts.size(), 3u);
  int32_t idSum = 0;
  for (const StKAMOKUINFO& account : accounts) {
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
  ASSERT_EQ(settings_.rateRows(), 4);
  host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
  host_.AddAccount(
      {.accountId = 2, .code = "400", .name = "有価証券売却"_sjis, .classCode = 0x40888000});
  auto securitiesSale = [](int64_t amount, int32_t rate) {
    return testing::JournalSpec{.date = 20140510,
                                .debit = {.account = 1, .amount = amount},
                                .credit = {.account = 2, .amount = amount, .taxClass = 4},
                                .rate = rate};
  };
  host_.AddJournal(securitiesSale(100000 * kYen, 800));
  host_.AddJournal(securitiesSale(40000 * kYen, 300));
  ASSERT_TRUE(Aggregate(4, 3).ok());
  const int64_t expected[] = {100000 * kYen, 0, 40000 * kYen, (100000 + 40000) * kYen / 20};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(tables_.rateInfo[k].securitiesSales, expected[k]) << "row " << k;
  }
}

// Legacy-rate sums take the summary amounts of the listed accounts only, per
// rate: index 0 the 5 % lines, index 1 the 3 % lines.
TEST_F(TaxReturnPassTest, LegacyRateSumsOfTheListedAccounts) {
  Select({});
  host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
  host_.AddAccount({.accountId = 2, .code = "400", .name = "旧税率"_sjis, .classCode = 0x40888000});
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
  ASSERT_TRUE(Aggregate(4, 3).ok());
  EXPECT_EQ(tables_.legacyRateSums[0], 5700 * kYen);
  EXPECT_EQ(tables_.legacyRateSums[1], 3000 * kYen);
  // Each sum comes from the listed account's summary records.
  for (const Contribution& c : trace_.contributions) {
    EXPECT_EQ(c.source, Contribution::Source::kTaxSummary);
    EXPECT_EQ(c.id, 2);
  }
}

TEST_F(TaxReturnPassTest, FilterFromTheHostPeriod) {
  Select({});
  AggregationEngine engine(dataSet_, 4, 3, settings_);
  EXPECT_EQ(engine.filter().conditions[0].value, 1);
  EXPECT_EQ(engine.filter().conditions[1].value, 12);
  EXPECT_EQ(engine.filter().conditions[2].value, 18);
}

// The overall progress moves a quarter before each group of passes and the
// last quarter after them; a host failure stops the passes where it happens,
// names the call, and leaves the caller's tables as they were.
class RecordingProgress : public ProgressSink {
 public:
  void OverallAdvance(int16_t from, int16_t to) override { steps.push_back({from, to}); }
  void DetailReset() override {}
  void DetailComplete() override {}
  void DetailSweep() override {}
  void DetailSweeps(uint64_t) override {}
  void DetailTick() override {}
  void DetailTicks(uint64_t) override {}
  std::vector<std::pair<int, int>> steps;
};

TEST_F(CorporatePassTest, ProgressAndAFailedPass) {
  Build(false);
  RecordingProgress progress;
  ASSERT_TRUE(Aggregate(4, 3, progress).ok());
  const std::vector<std::pair<int, int>> quarters = {{0, 250}, {250, 500}, {500, 750}, {750, 1000}};
  EXPECT_EQ(progress.steps, quarters);

  host_.SetFaultsFile("ClRuleKamoku::MoveNext=-5\n");
  RecordingProgress failing;
  TaxSummaryTables kept;
  kept.legacyRateSums[0] = 77;
  AggregationEngine engine(dataSet_, 4, 3, settings_);
  const Status status = engine.Run(failing, &kept);
  EXPECT_EQ(status.code(), Status::Code::kHostError);
  EXPECT_EQ(status.hostCode(), -5);
  EXPECT_STREQ(status.where(), "ClRuleKamoku::MoveNext");
  EXPECT_EQ(failing.steps.size(), 3u);
  EXPECT_EQ(kept.legacyRateSums[0], 77);
  EXPECT_FALSE(kept.rateInfo);
}

}  // namespace
}  // namespace taxlink
