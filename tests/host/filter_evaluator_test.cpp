// The filter evaluator: order of links, groups, month kinds and sides,
// checked on the journal lines a real store selects.

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/ClRuleShiwake.h"
#include "host/FilterGroupRegistry.h"
#include "host/HostStatus.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

FilterCondition Cond(int32_t field, int16_t op, int32_t value, int16_t link,
                     int16_t side = kSideNone, int16_t type = kValueInt32) {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  c.fieldId = field;
  c.side = side;
  c.op = op;
  c.valueType = type;
  c.value = value;
  c.link = link;
  return c;
}

FilterCondition Month(int16_t op, int16_t kind, int16_t link) {
  return Cond(kFieldMonthKind, op, kind, link, kSideNone, kValueInt16);
}

FilterCondition Group(uint32_t ref, int16_t link) {
  FilterCondition c = Cond(kFieldGroup, 0, 0, link);
  c.groupRef = ref;
  return c;
}

StFINDINFO Filter(std::initializer_list<FilterCondition> conditions) {
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  int i = 0;
  for (const FilterCondition& c : conditions) filter.conditions[i++] = c;
  return filter;
}

// A data set of one line per month kind 1..12, 15 and 18 (line id = kind)
// with debit class = kind and credit class = 100 - kind.
class FilterEvaluatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({.periodStart = 20140101, .periodEnd = 20141231});
    host_.SelectForUser("U01", 1);
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2, .code = "400", .name = "売上"_sjis, .classCode = 0x40888000});
    const std::initializer_list<int16_t> kinds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18};
    for (int16_t kind : kinds) {
      host_.AddJournal({.date = 20140101 + (kind <= 12 ? (kind - 1) * 100 : 1130),
                        .debit = {.account = 1, .amount = 10000, .taxClass = kind},
                        .credit = {.account = 2, .amount = 10000, .taxClass = 100 - kind},
                        .monthKind = kind,
                        .journalNo = kind});
    }
  }

  // The journal numbers (= month kinds) of the lines the filter selects.
  std::vector<int32_t> Selected(const StFINDINFO& filter) {
    std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
    std::vector<int32_t> kinds;
    EXPECT_EQ(rule->MoveReady(&filter, nullptr, nullptr, 4), 0);
    StSWKTINFO line;
    int32_t status = 0;
    while ((status = rule->MoveNext(&line)) == 0) kinds.push_back(line.journalId);
    EXPECT_EQ(status, kHostEndOfData);
    int32_t count = -1;
    EXPECT_EQ(rule->GetSwkCount(&filter, nullptr, &count), 0);
    EXPECT_EQ(count, static_cast<int32_t>(kinds.size()));
    return kinds;
  }

  HostFixture host_{HostStorage::kMemory};
};

using Kinds = std::vector<int32_t>;

TEST_F(FilterEvaluatorTest, MonthRangesWithAdjustmentMonths) {
  const struct {
    const char* name;
    StFINDINFO filter;
    Kinds expected;
  } cases[] = {
      {"S..E",
       Filter({Month(kOpGreaterOrEqual, 4, kLinkAnd), Month(kOpLessOrEqual, 6, kLinkLast)}),
       {4, 5, 6}},
      {"S..E or interim",
       Filter({Month(kOpGreaterOrEqual, 1, kLinkAnd), Month(kOpLessOrEqual, 6, kLinkOr),
               Month(kOpEqual, 15, kLinkLast)}),
       {1, 2, 3, 4, 5, 6, 15}},
      {"S..E or year-end",
       Filter({Month(kOpGreaterOrEqual, 10, kLinkAnd), Month(kOpLessOrEqual, 12, kLinkOr),
               Month(kOpEqual, 18, kLinkLast)}),
       {10, 11, 12, 18}},
      {"both adjustments",
       Filter({Month(kOpGreaterOrEqual, 6, kLinkAnd), Month(kOpLessOrEqual, 6, kLinkOr),
               Month(kOpEqual, 15, kLinkOr), Month(kOpEqual, 18, kLinkLast)}),
       {6, 15, 18}},
      {"less than", Filter({Month(kOpLess, 3, kLinkLast)}), {1, 2}},
      // Accounting order: 1..6, 15, 7..12, 18.
      {"the whole year takes the interim adjustment",
       Filter({Month(kOpGreaterOrEqual, 1, kLinkAnd), Month(kOpLessOrEqual, 12, kLinkLast)}),
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15}},
      {"the second half does not",
       Filter({Month(kOpGreaterOrEqual, 7, kLinkAnd), Month(kOpLessOrEqual, 12, kLinkLast)}),
       {7, 8, 9, 10, 11, 12}},
      {"from the interim adjustment on",
       Filter({Month(kOpGreaterOrEqual, 15, kLinkLast)}),
       {7, 8, 9, 10, 11, 12, 15, 18}},
      {"everything", Filter({}), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Selected(c.filter), c.expected) << c.name;
  }
}

TEST_F(FilterEvaluatorTest, LinksAreEvaluatedLeftToRight) {
  // (kind = 2 or kind = 3) and kind >= 3: strictly left to right gives {3};
  // with "and" binding tighter it would give {2, 3}.
  EXPECT_EQ(Selected(Filter({Month(kOpEqual, 2, kLinkOr), Month(kOpEqual, 3, kLinkAnd),
                             Month(kOpGreaterOrEqual, 3, kLinkLast)})),
            (Kinds{3}));
  // (kind >= 11 and kind <= 11) or kind = 1
  EXPECT_EQ(Selected(Filter({Month(kOpGreaterOrEqual, 11, kLinkAnd),
                             Month(kOpLessOrEqual, 11, kLinkOr), Month(kOpEqual, 1, kLinkLast)})),
            (Kinds{1, 11}));
}

TEST_F(FilterEvaluatorTest, TaxClassesPerSide) {
  // Debit class = kind, credit class = 100 - kind.
  EXPECT_EQ(Selected(Filter({Cond(kFieldTaxClass, kOpLessOrEqual, 2, kLinkLast, kSideDebit)})),
            (Kinds{1, 2}));
  EXPECT_EQ(Selected(Filter({Cond(kFieldTaxClass, kOpGreaterOrEqual, 97, kLinkLast, kSideCredit)})),
            (Kinds{1, 2, 3}));
  // Side 0: either side.
  EXPECT_EQ(Selected(Filter({Cond(kFieldTaxClass, kOpEqual, 85, kLinkLast, kSideNone)})),
            (Kinds{15}));
  // Account class of the debit side's account.
  EXPECT_EQ(Selected(Filter({Cond(kFieldAccountClass, kOpEqual, 0x40888000, kLinkAnd, kSideDebit,
                                  kValueAccountClass),
                             Month(kOpEqual, 1, kLinkLast)})),
            (Kinds{}));
  EXPECT_EQ(Selected(Filter({Cond(kFieldAccountClass, kOpEqual, 0x40888000, kLinkAnd, kSideCredit,
                                  kValueAccountClass),
                             Month(kOpEqual, 1, kLinkLast)})),
            (Kinds{1}));
}

// The walk looks tax classes of 0..255 up in a table made from the filter;
// classes past it are compared as they are, with the same result.
TEST_F(FilterEvaluatorTest, TaxClassesPastTheTableCompareAsTheyAre) {
  for (int32_t taxClass : {255, 256, 300}) {
    host_.AddJournal({.date = 20140301,
                      .debit = {.account = 1, .amount = 10000, .taxClass = taxClass},
                      .credit = {.account = 2, .amount = 10000, .taxClass = taxClass},
                      .monthKind = 3,
                      .journalNo = taxClass});
  }
  EXPECT_EQ(Selected(Filter({Cond(kFieldTaxClass, kOpGreaterOrEqual, 255, kLinkAnd, kSideDebit),
                             Cond(kFieldTaxClass, kOpLess, 300, kLinkLast, kSideDebit)})),
            (Kinds{255, 256}));
  EXPECT_EQ(Selected(Filter({Cond(kFieldTaxClass, kOpLess, 3, kLinkOr, kSideCredit),
                             Cond(kFieldTaxClass, kOpEqual, 300, kLinkLast, kSideCredit)})),
            (Kinds{300}));
}

// The tables are made from each comparison's range: its ends at 0 and 255
// must fall as a comparison of each value would, both for a list tabulated
// whole (the group) and for a condition that is one leaf of a mixed list.
TEST_F(FilterEvaluatorTest, TaxClassRangesAtTheTablesEnds) {
  for (int32_t taxClass : {0, 255, 256}) {
    host_.AddJournal({.date = 20140301,
                      .debit = {.account = 1, .amount = 10000, .taxClass = taxClass},
                      .credit = {.account = 2, .amount = 10000, .taxClass = 50},
                      .monthKind = 3,
                      .journalNo = 1000 + taxClass});
  }
  // Month 3 holds the lines of debit classes 3, 0, 255 and 256.
  const struct {
    int16_t op;
    int32_t value;
    Kinds expected;
  } cases[] = {
      {kOpLessOrEqual, 255, {3, 1000, 1255}}, {kOpLessOrEqual, -1, {}},
      {kOpLess, 0, {}},                       {kOpLess, 1, {1000}},
      {kOpLess, 256, {3, 1000, 1255}},        {kOpGreaterOrEqual, -1, {3, 1000, 1255, 1256}},
      {kOpGreaterOrEqual, 255, {1255, 1256}}, {kOpGreaterOrEqual, 256, {1256}},
      {kOpEqual, 0, {1000}},                  {kOpEqual, 255, {1255}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "op " << c.op << " value " << c.value);
    const FilterCondition debit = Cond(kFieldTaxClass, c.op, c.value, kLinkAnd, kSideDebit);
    EXPECT_EQ(Selected(Filter({debit, Month(kOpEqual, 3, kLinkLast)})), c.expected);
    FilterCondition twice[] = {debit, debit};
    twice[0].link = kLinkOr;
    twice[1].link = kLinkLast;
    FilterGroupHandle group(twice);
    EXPECT_EQ(Selected(Filter({Group(group.ref(), kLinkAnd), Month(kOpEqual, 3, kLinkLast)})),
              c.expected);
  }
}

TEST_F(FilterEvaluatorTest, NestedGroupsLikeTheImportClassCheck) {
  // (debit 3..4 or debit 7..8) or (credit 88..90), within months 1..12.
  FilterCondition debitLow[] = {Cond(kFieldTaxClass, kOpGreaterOrEqual, 3, kLinkAnd, kSideDebit),
                                Cond(kFieldTaxClass, kOpLessOrEqual, 4, kLinkLast, kSideDebit)};
  FilterCondition debitHigh[] = {Cond(kFieldTaxClass, kOpGreaterOrEqual, 7, kLinkAnd, kSideDebit),
                                 Cond(kFieldTaxClass, kOpLessOrEqual, 8, kLinkLast, kSideDebit)};
  FilterGroupHandle low(debitLow);
  FilterGroupHandle high(debitHigh);
  FilterCondition debitSide[] = {Group(low.ref(), kLinkOr), Group(high.ref(), kLinkLast)};
  FilterCondition creditSide[] = {
      Cond(kFieldTaxClass, kOpGreaterOrEqual, 85, kLinkAnd, kSideCredit),
      Cond(kFieldTaxClass, kOpLessOrEqual, 90, kLinkLast, kSideCredit)};
  FilterGroupHandle debitGroup(debitSide);
  FilterGroupHandle creditGroup(creditSide);
  FilterCondition sides[] = {Group(debitGroup.ref(), kLinkOr), Group(creditGroup.ref(), kLinkLast)};
  FilterGroupHandle sidesGroup(sides);
  StFINDINFO months =
      Filter({Month(kOpGreaterOrEqual, 1, kLinkAnd), Month(kOpLessOrEqual, 12, kLinkLast)});
  FilterGroupHandle monthGroup(months.conditions);
  // Credit classes 85..90 are kinds 10..12 and 15; in accounting order 15
  // lies within 1..12.
  EXPECT_EQ(
      Selected(Filter({Group(sidesGroup.ref(), kLinkAnd), Group(monthGroup.ref(), kLinkLast)})),
      (Kinds{3, 4, 7, 8, 10, 11, 12, 15}));
}

// Conditions on different columns in one list are not tabulated as a list;
// the walk's table of leaf results must keep their left-to-right order, and
// a list of more conditions than that table takes is evaluated as it is.
TEST_F(FilterEvaluatorTest, ColumnsMixedInOneList) {
  // ((kind = 2 or debit 3) and credit >= 97) = kinds 2 and 3.
  EXPECT_EQ(Selected(Filter({Month(kOpEqual, 2, kLinkOr),
                             Cond(kFieldTaxClass, kOpEqual, 3, kLinkAnd, kSideDebit),
                             Cond(kFieldTaxClass, kOpGreaterOrEqual, 97, kLinkLast, kSideCredit)})),
            (Kinds{2, 3}));
  // Nine conditions taking turns between the three columns: kinds 1..9.
  std::vector<FilterCondition> many;
  for (int16_t kind = 1; kind <= 9; ++kind) {
    const int16_t link = kind < 9 ? kLinkOr : kLinkLast;
    if (kind % 3 == 1) many.push_back(Month(kOpEqual, kind, link));
    if (kind % 3 == 2) many.push_back(Cond(kFieldTaxClass, kOpEqual, kind, link, kSideDebit));
    if (kind % 3 == 0)
      many.push_back(Cond(kFieldTaxClass, kOpEqual, 100 - kind, link, kSideCredit));
  }
  FilterGroupHandle manyGroup(many.data());
  EXPECT_EQ(Selected(Filter({Group(manyGroup.ref(), kLinkAnd), Month(kOpLess, 9, kLinkLast)})),
            (Kinds{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(FilterEvaluatorTest, MalformedFiltersAreErrorsNotMatches) {
  FilterCondition self[1] = {};
  FilterGroupHandle selfGroup(self);
  self[0] = Group(selfGroup.ref(), kLinkLast);
  FilterCondition endless[64];
  for (FilterCondition& c : endless) c = Month(kOpEqual, 1, kLinkOr);
  FilterGroupHandle endlessGroup(endless);
  const struct {
    const char* name;
    StFINDINFO filter;
    int32_t status;
  } cases[] = {
      {"unknown field", Filter({Cond(42, kOpEqual, 1, kLinkLast)}), mvhost::kErrFilterField},
      {"asset date on lines", Filter({Cond(kFieldAssetDate, kOpEqual, 20140101, kLinkLast)}),
       mvhost::kErrFilterField},
      {"unknown operator", Filter({Cond(kFieldMonthKind, 2, 1, kLinkLast)}),
       mvhost::kErrFilterOperator},
      {"unknown value type", Filter({Cond(kFieldMonthKind, kOpEqual, 1, kLinkLast, 0, 7)}),
       mvhost::kErrFilterValueType},
      {"unknown side", Filter({Cond(kFieldTaxClass, kOpEqual, 1, kLinkLast, 3)}),
       mvhost::kErrFilterSide},
      {"unknown link", Filter({Month(kOpEqual, 1, 5), Month(kOpEqual, 2, kLinkLast)}),
       mvhost::kErrFilterLink},
      {"unregistered group", Filter({Group(0xFFFFFF01u, kLinkLast)}), mvhost::kErrFilterGroup},
      {"null group", Filter({Group(0, kLinkLast)}), mvhost::kErrFilterGroup},
      {"group in a cycle", Filter({Group(selfGroup.ref(), kLinkLast)}), mvhost::kErrFilterDepth},
      {"no last condition",
       Filter({Month(kOpEqual, 1, kLinkOr), Month(kOpEqual, 1, kLinkOr),
               Month(kOpEqual, 1, kLinkOr), Month(kOpEqual, 1, kLinkOr)}),
       mvhost::kErrFilterLength},
      {"group without a last condition", Filter({Group(endlessGroup.ref(), kLinkLast)}),
       mvhost::kErrFilterLength},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
    int32_t count = 99;
    EXPECT_EQ(rule->GetSwkCount(&c.filter, nullptr, &count), c.status);
    EXPECT_EQ(count, 99);
    EXPECT_EQ(rule->MoveReady(&c.filter, nullptr, nullptr, 4), c.status);
    StSWKTINFO line;
    EXPECT_EQ(rule->MoveNext(&line), mvhost::kErrNotReady);
  }
}

// A filter keyed once is translated again only when its key changes: a
// change inside a group (the same reference) must change the key.
TEST(FilterSqlTest, TheKeyFollowsTheGroupsContents) {
  FilterCondition inner[] = {Cond(kFieldTaxClass, kOpEqual, 3, kLinkLast, kSideDebit)};
  FilterGroupHandle group(inner);
  const StFINDINFO filter = Filter({Group(group.ref(), kLinkLast)});
  std::string before, again, changed, unresolved;
  ASSERT_TRUE(mvhost::FilterKey(&filter, &before));
  ASSERT_TRUE(mvhost::FilterKey(&filter, &again));
  EXPECT_EQ(before, again);
  // The comparison in place agrees with the key, to its last byte.
  EXPECT_TRUE(mvhost::FilterHasKey(&filter, before));
  EXPECT_FALSE(mvhost::FilterHasKey(&filter, before.substr(0, before.size() - 1)));
  EXPECT_FALSE(mvhost::FilterHasKey(&filter, before + ")"));
  inner[0].value = 4;
  EXPECT_FALSE(mvhost::FilterHasKey(&filter, before));
  ASSERT_TRUE(mvhost::FilterKey(&filter, &changed));
  EXPECT_NE(changed, before);
  EXPECT_TRUE(mvhost::FilterHasKey(&filter, changed));
  const StFINDINFO dangling = Filter({Group(group.ref() + 1000, kLinkLast)});
  EXPECT_FALSE(mvhost::FilterKey(&dangling, &unresolved));
  EXPECT_FALSE(mvhost::FilterHasKey(&dangling, unresolved));
}

TEST(FilterSqlTest, ValuesAreBoundNeverPastedIntoTheText) {
  StFINDINFO filter = Filter({Cond(kFieldAccountClass, kOpEqual, static_cast<int32_t>(0x40888000),
                                   kLinkOr, 0, kValueAccountClass),
                              Cond(kFieldAccountClass, kOpLess, -5, kLinkLast, 0, kValueInt32)});
  mvhost::SqlFilter sql;
  ASSERT_EQ(mvhost::TranslateFilter(&filter, mvhost::FilterTarget::kAccount, &sql), 0);
  EXPECT_EQ(sql.sql, "((a.class_code = ?) OR (a.class_code < ?))");
  // Type 19 reads the value as unsigned; type 2 as the low 16 bits, signed.
  EXPECT_EQ(sql.values, (std::vector<int64_t>{0x40888000LL, -5}));
  StFINDINFO month =
      Filter({Cond(kFieldMonthKind, kOpEqual, 0x7FFF0012, kLinkLast, 0, kValueInt16)});
  ASSERT_EQ(mvhost::TranslateFilter(&month, mvhost::FilterTarget::kJournalLine, &sql), 0);
  // Month kind 18, bound as its place in the accounting order.
  EXPECT_EQ(sql.values, (std::vector<int64_t>{125}));
  // Only asset dates on fixed assets, only account classes on accounts.
  StFINDINFO date = Filter({Cond(kFieldAssetDate, kOpGreaterOrEqual, 20140401, kLinkLast)});
  EXPECT_EQ(mvhost::TranslateFilter(&date, mvhost::FilterTarget::kFixedAsset, &sql), 0);
  EXPECT_EQ(mvhost::TranslateFilter(&date, mvhost::FilterTarget::kAccount, &sql),
            mvhost::kErrFilterField);
  EXPECT_EQ(mvhost::TranslateFilter(nullptr, mvhost::FilterTarget::kAccount, &sql), 0);
  EXPECT_EQ(sql.sql, "1");
}

TEST(FilterGroupRegistryTest, ReferencesAreNonZeroAndResolveUntilUnregistered) {
  FilterCondition a[1] = {};
  FilterCondition b[1] = {};
  ClFilterGroupRegistry* registry = ClFilterGroupRegistry::Inst();
  uint32_t refA = registry->Register(a);
  uint32_t refB = registry->Register(b);
  EXPECT_NE(refA, 0u);
  EXPECT_NE(refB, 0u);
  EXPECT_NE(refA, refB);
  EXPECT_EQ(registry->Resolve(refA), a);
  EXPECT_EQ(registry->Resolve(refB), b);
  registry->Unregister(refA);
  EXPECT_EQ(registry->Resolve(refA), nullptr);
  EXPECT_EQ(registry->Resolve(refB), b);
  EXPECT_EQ(registry->Register(nullptr), 0u);
  EXPECT_EQ(registry->Resolve(0), nullptr);
  registry->Unregister(refB);
}

}  // namespace
}  // namespace taxlink::testing
