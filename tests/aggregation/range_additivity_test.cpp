// One rule selects the months of a range everywhere: kinds S..E, plus the
// interim closing adjustment (15) when the year keeps one and S <= 6 <= E,
// plus the year-end adjustment (18) when the range ends in the year's last
// month. So the first and the second half of a year add up to the whole
// year in every figure of the tax return, the legacy-rate sums and both
// refund statements (compared before rounding).

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "aggregation/AggregationEngine.h"
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
constexpr int32_t kCash = 1;
constexpr int32_t kSales = 2;      // legacy-rate class
constexpr int32_t kPurchases = 3;  // merchandise / purchases
constexpr int32_t kSupplies = 4;   // selling and administrative / expenses

// Every figure of the tables, in a fixed order.
std::vector<int64_t> Figures(const TaxSummaryTables& t) {
  std::vector<int64_t> out;
  auto take = [&](const void* record, size_t offset) {
    int64_t value = 0;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof(value));
    out.push_back(value);
  };
  for (int row = 0; row < t.rateCount; ++row) {
    for (size_t i = 0; i < StTAXREPORTRATEINFO::kFigureCount; ++i) {
      take(&t.rateInfo[row], StTAXREPORTRATEINFO::kFirstFigureOffset + 8 * i);
    }
    take(&t.rateInfo[row], 476);
    take(&t.rateInfo[row], 484);
  }
  for (int record = 0; record < t.rateCount * kBusinessTypesPerRate; ++record) {
    for (size_t offset = 7; offset <= 47; offset += 8) take(&t.businessTypeInfo[record], offset);
  }
  out.insert(out.end(), {t.legacyRateSums[0], t.legacyRateSums[1]});
  for (const RefundLine* line :
       {&t.corpMerchandisePurchases, &t.corpSellingAdminExpenses, &t.corpNonOperatingExpenses,
        &t.corpOtherItems, &t.indBusinessPurchases, &t.indBusinessExpenses,
        &t.indBusinessFixedAssets, &t.indRealEstateExpenses, &t.indRealEstateFixedAssets,
        &t.indOtherPurchases, &t.indOtherExpenses, &t.indOtherFixedAssets}) {
    out.insert(out.end(), {line->bookAmount, line->nonTaxablePart});
  }
  out.insert(out.end(), {t.corpFixedAssets, t.corpDeferredAssets});
  return out;
}

// A January-to-December year with an interim closing: lines in every month,
// on the interim and year-end adjustments, at 8, 5 and 3 %, and assets
// acquired in both halves.
void BuildYear(HostFixture& host, int32_t entityKind) {
  host.AddDataSet({.periodStart = 20140101,
                   .periodEnd = 20141231,
                   .interimClosing = true,
                   .entityKind = entityKind,
                   .incomeKind = entityKind == 3 ? 1 : 0});
  host.SelectForUser("U01", 1);
  host.AddAccountClass(
      {.code = 0x01100000, .name = "現金及び預金"_sjis, .parent = std::nullopt, .total = true});
  host.AddAccountClass(
      {.code = 0x40888000, .name = "売上高"_sjis, .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x20400000, .name = "仕入高"_sjis, .parent = std::nullopt});
  host.AddAccountClass({.code = 0x40882000,
                        .name = "販売費及び一般管理費"_sjis,
                        .parent = std::nullopt,
                        .total = true});
  host.AddAccountClass({.code = 0x40882010, .name = "一般管理費"_sjis, .parent = 0x40882000u});
  host.AddAccount(
      {.accountId = kCash, .code = "111", .name = "現金"_sjis, .classCode = 0x01100000});
  host.AddAccount({.accountId = kSales,
                   .code = "511",
                   .name = "売上高"_sjis,
                   .classCode = 0x40888000,
                   .balanceSide = 2});
  host.AddAccount(
      {.accountId = kPurchases, .code = "611", .name = "仕入高"_sjis, .classCode = 0x20400000});
  host.AddAccount(
      {.accountId = kSupplies, .code = "711", .name = "消耗品費"_sjis, .classCode = 0x40882010});
  struct Month {
    int32_t date;
    int16_t kind;
  };
  std::vector<Month> months;
  for (int16_t m = 1; m <= 12; ++m) months.push_back({20140000 + m * 100 + 15, m});
  months.push_back({20140630, 15});
  months.push_back({20141231, 18});
  int64_t yen = 1000;
  for (const Month& month : months) {
    for (int32_t rate : {800, 500, 300}) {
      yen += 37;
      host.AddJournal({.date = month.date,
                       .debit = {.account = kCash, .amount = yen * kYen},
                       .credit = {.account = kSales,
                                  .amount = yen * kYen,
                                  .tax = yen * rate / 10000 * kYen,
                                  .taxClass = 1},
                       .rate = rate,
                       .businessType = 1,
                       .monthKind = month.kind});
      // Securities sales: amounts that the host's 1/20 divides exactly.
      host.AddJournal({.date = month.date,
                       .debit = {.account = kCash, .amount = yen * 20 * kYen},
                       .credit = {.account = kSales, .amount = yen * 20 * kYen, .taxClass = 4},
                       .rate = rate,
                       .monthKind = month.kind});
      host.AddJournal({.date = month.date,
                       .debit = {.account = kPurchases,
                                 .amount = yen * kYen,
                                 .tax = yen * rate / 10000 * kYen,
                                 .taxClass = 21},
                       .credit = {.account = kCash, .amount = yen * kYen},
                       .rate = rate,
                       .monthKind = month.kind});
      host.AddJournal({.date = month.date,
                       .debit = {.account = kSupplies, .amount = (yen / 2) * kYen, .taxClass = 24},
                       .credit = {.account = kCash, .amount = (yen / 2) * kYen},
                       .rate = rate,
                       .monthKind = month.kind});
    }
  }
  host.AddAsset({.assetId = 1,
                 .code = "A1",
                 .name = "車両"_sjis,
                 .kind = 1,
                 .acquisitionDate = 20140320,
                 .acquisitionAmount = 500000 * kYen});
  host.AddAsset({.assetId = 2,
                 .code = "A2",
                 .name = "創立費"_sjis,
                 .kind = 9,
                 .acquisitionDate = 20140915,
                 .acquisitionAmount = 120000 * kYen});
}

std::vector<int64_t> Aggregate(int32_t entityKind, int startMonth, int endMonth) {
  StDATAINFO dataSet;
  std::memset(&dataSet, 0, sizeof(dataSet));
  std::strncpy(dataSet.dataId, "D001", sizeof(dataSet.dataId) - 1);
  dataSet.dataNo = 1;
  dataSet.periodStart = 20140101;
  dataSet.periodEnd = 20141231;
  dataSet.interimClosing = 1;
  dataSet.entityKind = static_cast<uint8_t>(entityKind);
  dataSet.incomeKind = entityKind == 3 ? 1 : 0;
  TaxSettings settings;
  EXPECT_TRUE(ReadTaxSettings(dataSet, &settings).ok());
  settings.record.filingClass = 2;
  settings.record.taxIncluded = 0;
  TaxSummaryTables tables;
  AggregationEngine engine(dataSet, startMonth, endMonth, settings);
  const Status status = engine.Run(ProgressSink::None(), &tables);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return Figures(tables);
}

TEST(RangeAdditivityTest, TheTwoHalvesOfAYearAddUpToTheWholeYear) {
  for (int32_t entityKind : {0, 3}) {
    SCOPED_TRACE(entityKind == 0 ? "corporation" : "individual");
    HostFixture host(HostStorage::kMemory);
    BuildYear(host, entityKind);
    std::vector<int64_t> first = Aggregate(entityKind, 1, 6);
    std::vector<int64_t> second = Aggregate(entityKind, 7, 12);
    std::vector<int64_t> whole = Aggregate(entityKind, 1, 12);
    ASSERT_EQ(first.size(), whole.size());
    size_t nonZero = 0;
    for (size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(first[i] + second[i], whole[i]) << "figure " << i;
      nonZero += whole[i] != 0 ? 1 : 0;
    }
    // The data reach the tax return, the legacy sums and the refund lines.
    EXPECT_GT(nonZero, 40u);
  }
}

}  // namespace
}  // namespace taxlink
