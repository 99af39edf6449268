// The return summation figure by figure, and the per-account legacy-rate
// summaries, on small hand-made data sets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/HostStatus.h"
#include "host/StSWKTINFO.h"
#include "host/TaxLineTrace.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/SetShohizei.h"
#include "mvhost/lib/TaxReturnSums.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

constexpr int64_t Yen(int64_t yen) { return yen * 10000; }

int64_t Figure(const void* record, size_t offset) {
  int64_t value = 0;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof(value));
  return value;
}

struct Tables {
  int32_t status = 0;
  std::vector<StTAXREPORTRATEINFO> rates;
  std::vector<StTAXREPORTBUSINESSTYPEINFO> business;
};

// Runs SumTax the way the program does: four zeroed rows labelled 8, 5, 3 %.
Tables Sum(const StFINDINFO* filter, uint8_t filingClass = 2) {
  Tables t;
  t.rates.resize(4);
  t.business.resize(24);
  std::memset(t.rates.data(), 0, t.rates.size() * sizeof(StTAXREPORTRATEINFO));
  std::memset(t.business.data(), 0, t.business.size() * sizeof(StTAXREPORTBUSINESSTYPEINFO));
  const int32_t labels[] = {800, 500, 300};
  for (int k = 0; k < 3; ++k) t.rates[k].rate = labels[k];
  for (int k = 0; k < 4; ++k) {
    for (int j = 0; j < 6; ++j) {
      t.business[k * 6 + j].rate = k < 3 ? labels[k] : 0;
      t.business[k * 6 + j].businessType = static_cast<uint8_t>(j + 1);
    }
  }
  std::unique_ptr<ClRuleShohizeiShinkoku> rule(new (std::nothrow) ClRuleShohizeiShinkoku);
  t.status = rule->SumTax(filingClass, filter, t.rates.data(), t.business.data());
  return t;
}

// Every figure of every row and business-type record, except those listed.
void ExpectOnly(const Tables& t, const std::map<std::pair<int, size_t>, int64_t>& rowFigures,
                const std::map<std::pair<int, size_t>, int64_t>& businessFigures) {
  for (int k = 0; k < 4; ++k) {
    for (size_t offset = 8; offset <= 440; offset += 8) {
      auto it = rowFigures.find({k, offset});
      EXPECT_EQ(Figure(&t.rates[k], offset), it == rowFigures.end() ? 0 : it->second)
          << "row " << k << " offset " << offset;
    }
    for (size_t offset : {size_t{476}, size_t{484}}) {
      auto it = rowFigures.find({k, offset});
      EXPECT_EQ(Figure(&t.rates[k], offset), it == rowFigures.end() ? 0 : it->second)
          << "row " << k << " offset " << offset;
    }
    for (int j = 0; j < 6; ++j) {
      for (size_t offset : {7, 15, 23, 31, 39, 47}) {
        auto it = businessFigures.find({k * 6 + j, offset});
        EXPECT_EQ(Figure(&t.business[k * 6 + j], offset),
                  it == businessFigures.end() ? 0 : it->second)
            << "row " << k << " type " << j + 1 << " offset " << offset;
      }
    }
  }
}

struct FigureCase {
  const char* name;
  JournalSpec line;
  // Figures of the line's rate row (also in the totals row 3).
  int row;
  std::map<size_t, int64_t> figures;
  // Business-type record figures: {type, offset} -> value.
  std::map<std::pair<int, size_t>, int64_t> business;
};

JournalSpec Credit(int32_t taxClass, int64_t amount, int64_t tax, int32_t rate, int32_t type = 0) {
  return {.date = 20140510,
          .debit = {.account = 1, .amount = amount, .tax = tax, .taxClass = 0},
          .credit = {.account = 2, .amount = amount, .tax = tax, .taxClass = taxClass},
          .rate = rate,
          .businessType = type};
}

JournalSpec Debit(int32_t taxClass, int64_t amount, int64_t tax, int32_t rate, int32_t type = 0) {
  return {.date = 20140510,
          .debit = {.account = 2, .amount = amount, .tax = tax, .taxClass = taxClass},
          .credit = {.account = 1, .amount = amount, .tax = tax, .taxClass = 0},
          .rate = rate,
          .businessType = type};
}

class SumsTaxReturnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({});
    host_.SelectForUser("U01", 1);
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2, .code = "400", .name = "取引"_sjis, .classCode = 0x40888000});
  }
  HostFixture host_{HostStorage::kMemory};
};

TEST_F(SumsTaxReturnTest, EachTaxClassFeedsItsFigures) {
  const FigureCase cases[] = {
      // Taxable sales (credit normal) with their business type.
      {"taxable sales",
       Credit(1, Yen(100000), Yen(8000), 800, 1),
       0,
       {{8, Yen(100000)}, {16, Yen(8000)}, {24, Yen(108000)}},
       {{{1, 7}, Yen(108000)}, {{1, 15}, Yen(8000)}, {{1, 23}, Yen(100000)}}},
      {"taxable sales on the debit side count negatively",
       Debit(1, Yen(5000), Yen(250), 500, 2),
       1,
       {{8, -Yen(5000)}, {16, -Yen(250)}, {24, -Yen(5250)}},
       {{{2, 7}, -Yen(5250)}, {{2, 15}, -Yen(250)}, {{2, 23}, -Yen(5000)}}},
      {"unclassified sales have no business-type record",
       Credit(1, Yen(300), Yen(9), 300, 0),
       2,
       {{8, Yen(300)}, {16, Yen(9)}, {24, Yen(309)}},
       {}},
      {"exempt sales", Credit(2, Yen(30000), 0, 800), 0, {{40, Yen(30000)}}, {}},
      {"other non-taxable sales", Credit(3, Yen(25000), 0, 800), 0, {{48, Yen(25000)}}, {}},
      {"securities at one twentieth",
       Credit(4, Yen(1000001), 0, 800),
       0,
       {{32, Yen(1000001) / 20}},
       {}},
      {"non-taxable exports", Credit(5, Yen(12000), 0, 800), 0, {{56, Yen(12000)}}, {}},
      // Returns (debit normal).
      {"taxable sales returns",
       Debit(6, Yen(10000), Yen(800), 800, 3),
       0,
       {{64, Yen(10000)}, {72, Yen(800)}, {80, Yen(10800)}},
       {{{3, 31}, Yen(10800)}, {{3, 39}, Yen(800)}, {{3, 47}, Yen(10000)}}},
      {"exempt sales returns", Debit(7, Yen(2000), 0, 800), 0, {{96, Yen(2000)}}, {}},
      {"non-taxable sales returns", Debit(8, Yen(700), 0, 800), 0, {{88, Yen(700)}}, {}},
      {"non-taxable export returns count as exempt returns",
       Debit(9, Yen(500), 0, 800),
       0,
       {{96, Yen(500)}},
       {}},
      {"bad debts",
       Debit(10, Yen(8000), Yen(640), 800),
       0,
       {{400, Yen(8000)}, {408, Yen(640)}, {416, Yen(8640)}},
       {}},
      {"bad debts recovered",
       Credit(11, Yen(1000), Yen(80), 800),
       0,
       {{424, Yen(1000)}, {432, Yen(80)}, {440, Yen(1080)}},
       {}},
      // Purchases by attribution, and their returns (credit normal).
      {"purchases for taxable sales",
       Debit(21, Yen(20000), Yen(1000), 500),
       1,
       {{104, Yen(20000)}, {112, Yen(1000)}, {120, Yen(21000)}},
       {}},
      {"purchases for non-taxable sales",
       Debit(22, Yen(7000), Yen(210), 300),
       2,
       {{128, Yen(7000)}, {136, Yen(210)}, {144, Yen(7210)}},
       {}},
      {"common purchases",
       Debit(23, Yen(4000), Yen(320), 800),
       0,
       {{152, Yen(4000)}, {160, Yen(320)}, {168, Yen(4320)}},
       {}},
      {"purchase returns, taxable",
       Credit(25, Yen(3000), Yen(150), 500),
       1,
       {{256, Yen(3000)}, {264, Yen(150)}, {272, Yen(3150)}},
       {}},
      {"purchase returns, non-taxable",
       Credit(26, Yen(100), Yen(8), 800),
       0,
       {{280, Yen(100)}, {288, Yen(8)}, {296, Yen(108)}},
       {}},
      {"purchase returns, common",
       Credit(27, Yen(200), Yen(16), 800),
       0,
       {{304, Yen(200)}, {312, Yen(16)}, {320, Yen(216)}},
       {}},
      // Import taxes: the amount is the tax.
      {"national import tax, taxable", Debit(41, Yen(6300), 0, 800), 0, {{184, Yen(6300)}}, {}},
      {"national import tax, non-taxable", Debit(42, Yen(630), 0, 800), 0, {{208, Yen(630)}}, {}},
      {"national import tax, common", Debit(43, Yen(63), 0, 800), 0, {{232, Yen(63)}}, {}},
      {"local import tax", Debit(34, Yen(1700), 0, 800), 0, {{476, Yen(1700)}}, {}},
      {"refunded national import tax, taxable",
       Credit(44, Yen(630), 0, 800),
       0,
       {{336, Yen(630)}},
       {}},
      {"refunded national import tax, non-taxable",
       Credit(45, Yen(63), 0, 800),
       0,
       {{360, Yen(63)}},
       {}},
      {"refunded national import tax, common", Credit(46, Yen(6), 0, 800), 0, {{384, Yen(6)}}, {}},
      {"refunded local import tax", Credit(38, Yen(170), 0, 800), 0, {{484, Yen(170)}}, {}},
      // Outside the return.
      {"non-taxable purchases", Debit(24, Yen(9000), 0, 800), 0, {}, {}},
      {"import goods value", Debit(30, Yen(9000), 0, 800), 0, {}, {}},
      {"undetermined import class", Debit(35, Yen(9000), Yen(720), 800), 0, {}, {}},
      {"purchase-side outside scope", Debit(40, Yen(9000), 0, 800), 0, {}, {}},
  };
  for (const FigureCase& c : cases) {
    SCOPED_TRACE(c.name);
    host_.Exec("DELETE FROM journal_line");
    host_.AddJournal(c.line);
    Tables t = Sum(nullptr);
    EXPECT_EQ(t.status, 0);
    std::map<std::pair<int, size_t>, int64_t> rows;
    std::map<std::pair<int, size_t>, int64_t> business;
    for (const auto& [offset, value] : c.figures) {
      rows[{c.row, offset}] = value;
      rows[{3, offset}] = value;
    }
    for (const auto& [key, value] : c.business) {
      business[{c.row * 6 + key.first - 1, key.second}] = value;
      business[{3 * 6 + key.first - 1, key.second}] = value;
    }
    ExpectOnly(t, rows, business);
    // The labels stay as the caller wrote them.
    EXPECT_EQ(t.rates[0].rate, 800);
    EXPECT_EQ(t.business[7].rate, 500);
    EXPECT_EQ(t.business[7].businessType, 2);
  }
}

TEST_F(SumsTaxReturnTest, RatesTotalsAndTheMonthFilter) {
  // Month kinds: 2 (May), 3 (June), 12 (March).
  host_.AddJournal(Credit(1, Yen(1000), Yen(80), 800));  // May, 8 %
  JournalSpec june = Credit(1, Yen(2000), Yen(100), 500);
  june.date = 20140615;
  host_.AddJournal(june);                            // June, 5 %
  JournalSpec untaxed = Credit(3, Yen(4000), 0, 0);  // rate 0: 8 % by date
  host_.AddJournal(untaxed);
  JournalSpec march = Debit(21, Yen(500), Yen(15), 300);
  march.date = 20150310;
  host_.AddJournal(march);  // March, 3 %

  Tables all = Sum(nullptr);
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(Figure(&all.rates[0], 8), Yen(1000));
  EXPECT_EQ(Figure(&all.rates[0], 48), Yen(4000));
  EXPECT_EQ(Figure(&all.rates[1], 8), Yen(2000));
  EXPECT_EQ(Figure(&all.rates[2], 104), Yen(500));
  // The last row adds up the rate rows.
  EXPECT_EQ(Figure(&all.rates[3], 8), Yen(3000));
  EXPECT_EQ(Figure(&all.rates[3], 16), Yen(180));
  EXPECT_EQ(Figure(&all.rates[3], 24), Yen(3180));
  EXPECT_EQ(Figure(&all.rates[3], 104), Yen(500));

  // Month kinds 3..12 leave May out.
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0].fieldId = kFieldMonthKind;
  filter.conditions[0].op = kOpGreaterOrEqual;
  filter.conditions[0].valueType = kValueInt16;
  filter.conditions[0].value = 3;
  filter.conditions[0].link = kLinkAnd;
  filter.conditions[1] = filter.conditions[0];
  filter.conditions[1].op = kOpLessOrEqual;
  filter.conditions[1].value = 12;
  filter.conditions[1].link = kLinkLast;
  Tables later = Sum(&filter);
  EXPECT_EQ(Figure(&later.rates[0], 8), 0);
  EXPECT_EQ(Figure(&later.rates[0], 48), 0);
  EXPECT_EQ(Figure(&later.rates[1], 8), Yen(2000));
  EXPECT_EQ(Figure(&later.rates[3], 8), Yen(2000));
}

TEST_F(SumsTaxReturnTest, LinesThatFitNoRowAreReported) {
  host_.AddJournal(Credit(1, Yen(1000), Yen(100), 1000));  // 10 %: no row
  Tables t = Sum(nullptr);
  EXPECT_EQ(t.status, mvhost::kErrLinesLeftOut);
  EXPECT_EQ(Figure(&t.rates[3], 8), 0);

  host_.Exec("DELETE FROM journal_line");
  host_.AddJournal(Credit(15, Yen(1000), 0, 800));  // no such class
  EXPECT_EQ(Sum(nullptr).status, mvhost::kErrLinesLeftOut);

  host_.Exec("DELETE FROM journal_line");
  host_.AddJournal(Debit(31, Yen(1000), 0, 800));  // pending import class: expected, silent
  EXPECT_EQ(Sum(nullptr).status, 0);
  EXPECT_EQ(Sum(nullptr, 3).status, mvhost::kErrBadArgument);
}

TEST_F(SumsTaxReturnTest, BothSidesOfOneLineAreSummedIndependently) {
  // A purchase return booked against a taxable sale: credit class 25, debit class 6.
  host_.AddJournal({.date = 20140510,
                    .debit = {.account = 2, .amount = Yen(300), .tax = Yen(24), .taxClass = 6},
                    .credit = {.account = 2, .amount = Yen(300), .tax = Yen(24), .taxClass = 25},
                    .rate = 800,
                    .businessType = 4});
  Tables t = Sum(nullptr);
  EXPECT_EQ(Figure(&t.rates[0], 80), Yen(324));
  EXPECT_EQ(Figure(&t.rates[0], 272), Yen(324));
  EXPECT_EQ(Figure(&t.business[3], 31), Yen(324));
  EXPECT_EQ(Figure(&t.business[3], 7), 0);
}

// A journal walk readied with a trace hands over the sides TraceTax gives,
// in its order, those of each line before the walk hands the line out, and
// the sides of the lines it has not passed with TraceRest.
TEST_F(SumsTaxReturnTest, AJournalWalkHandsOverTheSidesTraceTaxGives) {
  JournalSpec june = Debit(24, Yen(700), 0, 800);  // non-taxable purchase: no side
  june.date = 20140615;
  JournalSpec sale = Credit(1, Yen(2000), Yen(100), 500);
  sale.date = 20140620;
  JournalSpec march = Debit(21, Yen(500), Yen(15), 300);
  march.date = 20150310;
  JournalSpec may = Debit(21, Yen(40), Yen(3), 800);  // left out, last
  const JournalSpec lines[] = {Credit(1, Yen(1000), Yen(80), 800), june, sale, march, may};
  std::vector<int32_t> journals;
  for (const JournalSpec& line : lines) journals.push_back(host_.AddJournal(line));

  struct Sides : TaxLineSink {
    std::vector<std::pair<int32_t, bool>> sides;
    bool Side(const TaxLineSide& side) override {
      sides.emplace_back(side.journalId, side.debit);
      return true;
    }
  };
  StTAXREPORTRATEINFO rates[4];
  std::memset(rates, 0, sizeof(rates));
  const int32_t labels[] = {800, 500, 300};
  for (int k = 0; k < 3; ++k) rates[k].rate = labels[k];
  // Month kinds 3..12: the first line (May) is left out.
  StFINDINFO months;
  std::memset(&months, 0, sizeof(months));
  months.conditions[0].fieldId = kFieldMonthKind;
  months.conditions[0].op = kOpGreaterOrEqual;
  months.conditions[0].valueType = kValueInt16;
  months.conditions[0].value = 3;
  months.conditions[0].link = kLinkAnd;
  months.conditions[1] = months.conditions[0];
  months.conditions[1].op = kOpLessOrEqual;
  months.conditions[1].value = 12;
  months.conditions[1].link = kLinkLast;
  Sides expected;
  std::unique_ptr<ClRuleShohizeiShinkoku> summation(new (std::nothrow) ClRuleShohizeiShinkoku);
  ASSERT_EQ(summation->TraceTax(2, &months, rates, &expected), 0);
  ASSERT_EQ(expected.sides,
            (std::vector<std::pair<int32_t, bool>>{{journals[2], false}, {journals[3], true}}));

  std::unique_ptr<ClRuleShiwake> walk(new (std::nothrow) ClRuleShiwake);
  ASSERT_EQ(walk->MoveReady(nullptr, nullptr, nullptr, 0), 0);
  EXPECT_EQ(walk->TraceRest(), mvhost::kErrNotReady);  // a walk without a trace
  walk->MoveFinish();
  // The walk takes every line and stops after the third, as a pass that
  // counted its lines does.
  Sides walked;
  ASSERT_EQ(walk->TraceReady(2, &months, rates, &walked), 0);
  ASSERT_EQ(walk->MoveReady(nullptr, nullptr, nullptr, 0), 0);
  StSWKTINFO line;
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(walk->MoveNext(&line), 0);
    EXPECT_EQ(line.journalId, journals[i]);
    const auto passed = std::count_if(expected.sides.begin(), expected.sides.end(),
                                      [&](const auto& side) { return side.first <= journals[i]; });
    EXPECT_EQ(walked.sides.size(), static_cast<std::size_t>(passed));
  }
  EXPECT_EQ(walk->TraceRest(), 0);
  EXPECT_EQ(walked.sides, expected.sides);
  EXPECT_EQ(walk->MoveNext(&line), kHostEndOfData);
  EXPECT_EQ(walk->TraceRest(), 0);
  EXPECT_EQ(walked.sides, expected.sides);
  EXPECT_EQ(walk->MoveFinish(), 0);
}

class SumsLegacyRateTest : public SumsTaxReturnTest {
 protected:
  std::map<std::string, int64_t> Walk(int16_t start, int16_t end, int32_t rate, uint8_t incl) {
    std::unique_ptr<ClRuleShohizei> rule(new (std::nothrow) ClRuleShohizei);
    EXPECT_EQ(rule->MoveReady(2, &start, &end, &rate, nullptr, incl), 0);
    std::map<std::string, int64_t> sums;
    int32_t count = rule->GetSumInfoCount();
    StTAXSUMINFO record;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(rule->MoveNext(&record), 0);
      sums[record.code] = record.amount;
    }
    EXPECT_EQ(rule->MoveNext(&record), kHostEndOfData);
    EXPECT_EQ(rule->MoveFinish(), 0);
    return sums;
  }
};

TEST_F(SumsLegacyRateTest, AccountsNetOnTheirBalanceSideWithinTheMonthKinds) {
  host_.AddAccount({.accountId = 3,
                    .code = "410",
                    .name = "売上高"_sjis,
                    .classCode = 0x40888000,
                    .balanceSide = 2});
  auto sale = [&](int16_t kind, int64_t amount, int32_t rate) {
    host_.AddJournal({.date = 20140510,
                      .debit = {.account = 1, .amount = amount, .tax = amount / 20},
                      .credit = {.account = 3, .amount = amount, .tax = amount / 20, .taxClass = 1},
                      .rate = rate,
                      .monthKind = kind});
  };
  sale(1, Yen(1000), 500);
  sale(6, Yen(2000), 500);
  sale(15, Yen(400), 500);
  sale(7, Yen(8000), 500);
  sale(18, Yen(16000), 500);
  sale(2, Yen(99), 300);
  // A return on the sales account (debit side) nets against it.
  host_.AddJournal({.date = 20140510,
                    .debit = {.account = 3, .amount = Yen(100), .tax = Yen(5), .taxClass = 6},
                    .credit = {.account = 1, .amount = Yen(100), .tax = Yen(5)},
                    .rate = 500,
                    .monthKind = 2});

  // Months 1..6 and the interim adjustment (ordered after month 6), not 7.
  std::map<std::string, int64_t> interim = Walk(1, 15, 500, 0);
  EXPECT_EQ(interim["410"], Yen(1000 + 2000 + 400 - 100));
  // Cash is a debit account: debit minus credit.
  EXPECT_EQ(interim["100"], Yen(1000 + 2000 + 400 - 100));
  EXPECT_EQ(Walk(1, 18, 500, 0)["410"], Yen(1000 + 2000 + 400 + 8000 + 16000 - 100));
  EXPECT_EQ(Walk(7, 12, 500, 0)["410"], Yen(8000));
  // Tax-included amounts add the tax.
  EXPECT_EQ(Walk(7, 12, 500, 1)["410"], Yen(8400));
  EXPECT_EQ(Walk(1, 18, 300, 0)["410"], Yen(99));
  EXPECT_TRUE(Walk(1, 18, 800, 0).empty());
}

TEST_F(SumsLegacyRateTest, RecordsComeInCodeOrderForTheAccountsWithSums) {
  host_.AddAccount({.accountId = 3, .code = "0050", .name = "a"_sjis, .classCode = 0x40888000});
  host_.AddAccount({.accountId = 4, .code = "300", .name = "b"_sjis, .classCode = 0x40888000});
  host_.AddAccount({.accountId = 9, .code = "2000", .name = "c"_sjis, .classCode = 0x40888000});
  for (int32_t credit : {3, 9, 2}) {
    host_.AddJournal({.date = 20140510,
                      .debit = {.account = 1, .amount = Yen(100), .tax = Yen(5)},
                      .credit = {.account = credit, .amount = Yen(100), .tax = Yen(5), .taxClass = 1},
                      .rate = 500,
                      .monthKind = 1});
  }
  int16_t start = 1;
  int16_t end = 18;
  int32_t rate = 500;
  std::unique_ptr<ClRuleShohizei> rule(new (std::nothrow) ClRuleShohizei);
  ASSERT_EQ(rule->MoveReady(2, &start, &end, &rate, nullptr, 0), 0);
  std::vector<std::string> codes;
  StTAXSUMINFO record;
  while (rule->MoveNext(&record) == 0) codes.emplace_back(record.code);
  EXPECT_EQ(codes, (std::vector<std::string>{"0050", "100", "2000", "400"}));
  EXPECT_EQ(rule->MoveFinish(), 0);
}

}  // namespace
}  // namespace taxlink::testing

namespace mvhost {
namespace {

// A side taken negatively (a debit on a credit-normal class) whose amount,
// tax or their sum is the one 64-bit value without a negation fails the sum
// like any overflow, through both the summation and the trace's targets.
TEST(TaxReturnSumsTest, AnAmountWithoutANegationFailsTheSide) {
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  constexpr int kSales = 1;  // credit-normal
  const StTAXREPORTRATEINFO rates[kTaxRateRows] = {};
  struct Case {
    int64_t amount, tax;
    bool debitSide, fits;
  } const cases[] = {
      {kMin, 0, true, false},      {0, kMin, true, false},  {-1, kMin + 1, true, false},
      {kMin, 0, false, true},      {kMin + 1, 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.amount << " " << c.tax << " debit " << c.debitSide);
    TaxReturnSums sums(rates);
    const bool added = c.debitSide ? sums.Add(800, 0, kSales, 0, c.amount, c.tax, 0, 0)
                                   : sums.Add(800, 0, 0, kSales, 0, 0, c.amount, c.tax);
    EXPECT_EQ(added, c.fits);
    TaxLineSide side{};
    EXPECT_EQ(sums.Targets(800, 0, kSales, c.debitSide, c.amount, c.tax, &side), c.fits);
  }
}

}  // namespace
}  // namespace mvhost
