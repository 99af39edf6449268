// The summation queries read the journal through their covering indexes:
// each statement a call prepares is captured on the host's own connection
// and its query plan checked. A plan that sorts into a temporary B-tree or
// reads the table line by line is what made a million lines take seconds.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "aggregation/AggregationFilter.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/NestedFilter.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClRuleShohizei.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/StBUMONINFO.h"
#include "mvhost/lib/HostSession.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

// The texts of the journal statements the host prepares while run() runs.
std::vector<std::string> JournalStatementsOf(const std::function<void()>& run) {
  int32_t status = 0;
  sqlite3* db = mvhost::HostSession::Db(&status);
  EXPECT_NE(db, nullptr);
  if (db == nullptr) return {};
  std::vector<std::string> texts;
  auto record = [](unsigned type, void* context, void* statement, void*) -> int {
    if (type == SQLITE_TRACE_STMT) {
      const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
      if (sql != nullptr && std::strstr(sql, "journal_line") != nullptr) {
        static_cast<std::vector<std::string>*>(context)->push_back(sql);
      }
    }
    return 0;
  };
  sqlite3_trace_v2(db, SQLITE_TRACE_STMT, record, &texts);
  run();
  sqlite3_trace_v2(db, 0, nullptr, nullptr);
  return texts;
}

// The query plan of a statement text, one detail line per step.
std::string PlanOf(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  std::string plan;
  if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &stmt, nullptr) !=
      SQLITE_OK) {
    return std::string("cannot prepare: ") + sqlite3_errmsg(db);
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
    plan += "\n";
  }
  sqlite3_finalize(stmt);
  return plan;
}

class SummationPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({.interimClosing = true});
    host_.SelectForUser("U01", 1);
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金", .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2, .code = "400", .name = "売上高", .classCode = 0x40888000,
                      .balanceSide = 2});
    host_.AddJournal({.date = 20140510,
                      .debit = {.account = 1, .amount = 1080000},
                      .credit = {.account = 2, .amount = 1000000, .tax = 80000, .taxClass = 1},
                      .rate = 500});
    FillMonthRangeFilter(&monthRange_, 4, 103, true, 4, 3);
  }

  // Checks every captured statement's plan: the index it must read through,
  // no temporary sort unless allowed, and never the table itself.
  void ExpectPlans(const std::vector<std::string>& texts, const char* index, bool sortAllowed) {
    ASSERT_FALSE(texts.empty());
    for (const std::string& sql : texts) {
      std::string plan = PlanOf(host_.Db(), sql);
      EXPECT_NE(plan.find(std::string("COVERING INDEX ") + index), std::string::npos)
          << sql << "\n" << plan;
      if (!sortAllowed) {
        EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << sql << "\n" << plan;
      }
      EXPECT_EQ(plan.find("SCAN j"), std::string::npos) << sql << "\n" << plan;
    }
  }

  HostFixture host_;
  StFINDINFO monthRange_{};
};

TEST_F(SummationPlanTest, TheReturnGroupsInIndexOrder) {
  std::unique_ptr<ClRuleShohizeiShinkoku> rule(new (std::nothrow) ClRuleShohizeiShinkoku);
  StTAXREPORTRATEINFO rates[4];
  StTAXREPORTBUSINESSTYPEINFO types[24];
  auto texts = JournalStatementsOf([&] {
    std::memset(rates, 0, sizeof(rates));
    std::memset(types, 0, sizeof(types));
    EXPECT_EQ(rule->SumTax(2, &monthRange_, rates, types), 0);
  });
  ExpectPlans(texts, "journal_line_tax_return", false);
}

TEST_F(SummationPlanTest, AccountSumsGroupInIndexOrderWithOrWithoutADepartment) {
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  department.code = 3;
  for (int32_t deptSumType : {0, 4}) {
    std::unique_ptr<ClRuleKamoku> rule(new (std::nothrow) ClRuleKamoku);
    auto texts = JournalStatementsOf([&] {
      EXPECT_EQ(rule->MoveReady(1, deptSumType, 0, &monthRange_, &department, 0), 0);
    });
    ExpectPlans(texts, "journal_line_accounts", false);
  }
}

TEST_F(SummationPlanTest, CountsAndRateChecksReadOnlyTheIndex) {
  std::unique_ptr<ClRuleShiwake> rule(new (std::nothrow) ClRuleShiwake);
  NestedFilter nonTaxable;
  BuildNonTaxablePurchaseFilter(monthRange_, &nonTaxable);
  NestedFilter imports;
  BuildImportTaxClassFilter(monthRange_, &imports);
  auto texts = JournalStatementsOf([&] {
    int32_t count = 0;
    EXPECT_EQ(rule->GetSwkCount(&nonTaxable.top(), nullptr, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(rule->GetSwkCount(&imports.top(), nullptr, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(rule->CheckExistSwkByJigyoBunrui(&monthRange_, 6, &count), 0);
    uint32_t flags = 0;
    EXPECT_EQ(rule->CheckExistSwkByZeiRate(&monthRange_, &flags, 1), 0);
    EXPECT_EQ(flags, 2u);
  });
  // The three counts and the nine rate probes (none is skipped: only the
  // 5 % probe finds a line).
  EXPECT_EQ(texts.size(), 12u);
  ExpectPlans(texts, "journal_line_tax_return", false);
}

TEST_F(SummationPlanTest, TaxSumsPerAccountSeekTheRate) {
  std::unique_ptr<ClRuleShohizei> rule(new (std::nothrow) ClRuleShohizei);
  const int16_t start = 1;
  const int16_t end = 18;
  const int32_t rate = 500;
  for (uint8_t included : {0, 1}) {
    auto texts = JournalStatementsOf([&] {
      EXPECT_EQ(rule->MoveReady(2, &start, &end, &rate, nullptr, included), 0);
      EXPECT_EQ(rule->GetSumInfoCount(), 2);
    });
    // Only the lines at the rate are grouped, so the sort is small.
    ExpectPlans(texts, "journal_line_tax_return", true);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(PlanOf(host_.Db(), texts[0]).find("(data_no=? AND <expr>=?)"), std::string::npos);
    rule->MoveFinish();
  }
}

}  // namespace
}  // namespace taxlink::testing
