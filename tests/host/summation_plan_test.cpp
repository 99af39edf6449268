// The summation services and the journal walk read what the host derives
// from the lines (docs/host.md), never the lines themselves: each statement a
// call prepares is captured on the host's own connection and checked. Reading
// a million lines through SQL for every sum is what made a run take seconds;
// the lines are read once, when they changed, to build the derived data.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
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
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

// The texts of the statements the host prepares while run() runs.
std::vector<std::string> StatementsOf(const std::function<void()>& run) {
  int32_t status = 0;
  sqlite3* db = mvhost::HostSession::Db(&status);
  EXPECT_NE(db, nullptr);
  if (db == nullptr) return {};
  std::vector<std::string> texts;
  auto record = [](unsigned type, void* context, void* statement, void*) -> int {
    if (type == SQLITE_TRACE_STMT) {
      const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
      if (sql != nullptr) {
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

// The statement reads the journal lines themselves (not a table of the
// derived data, nor the changes noted for them).
bool ReadsLines(const std::string& sql) {
  for (size_t at = sql.find("journal_line"); at != std::string::npos;
       at = sql.find("journal_line", at + 1)) {
    const size_t end = at + std::strlen("journal_line");
    if (end == sql.size() || sql[end] != '_') return true;
  }
  return false;
}

// Reads the store's catalogue (whether the derived data's tables and
// triggers are this build's), a handful of rows.
bool ReadsCatalogue(const std::string& sql) {
  return sql.find("sqlite_schema") != std::string::npos;
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

// The plan's first scan of a table (a scan of a subquery's own rows, named
// on its CO-ROUTINE or MATERIALIZE line, is none); empty when there is none.
std::string TableScan(const std::string& plan) {
  std::vector<std::string> subqueries;
  size_t start = 0;
  for (size_t end = plan.find('\n'); end != std::string::npos;
       start = end + 1, end = plan.find('\n', start)) {
    std::string line = plan.substr(start, end - start);
    for (const char* kind : {"CO-ROUTINE ", "MATERIALIZE "}) {
      if (line.rfind(kind, 0) == 0) subqueries.push_back(line.substr(std::strlen(kind)));
    }
    if (line.rfind("SCAN ", 0) != 0) continue;
    const std::string scanned = line.substr(5, line.find(' ', 5) - 5);
    if (std::find(subqueries.begin(), subqueries.end(), scanned) == subqueries.end()) return line;
  }
  return std::string();
}

class SummationPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({.interimClosing = true});
    host_.SelectForUser("U01", 1);
    host_.AddAccount({.accountId = 1, .code = "100", .name = "現金"_sjis, .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2,
                      .code = "400",
                      .name = "売上高"_sjis,
                      .classCode = 0x40888000,
                      .balanceSide = 2});
    host_.AddJournal({.date = 20140510,
                      .debit = {.account = 1, .amount = 1080000},
                      .credit = {.account = 2, .amount = 1000000, .tax = 80000, .taxClass = 1},
                      .rate = 500});
    FillMonthRangeFilter(&monthRange_, 4, 103, true, 4, 3);
  }

  // The services and the walk over the month range, as the aggregation
  // calls them.
  void RunServices() {
    std::unique_ptr<ClRuleShohizeiShinkoku> taxReturn(new (std::nothrow) ClRuleShohizeiShinkoku);
    StTAXREPORTRATEINFO rates[4];
    StTAXREPORTBUSINESSTYPEINFO types[24];
    std::memset(rates, 0, sizeof(rates));
    std::memset(types, 0, sizeof(types));
    EXPECT_EQ(taxReturn->SumTax(2, &monthRange_, rates, types), 0);

    StBUMONINFO department;
    std::memset(&department, 0, sizeof(department));
    department.code = 3;
    for (int32_t deptSumType : {0, 4}) {
      std::unique_ptr<ClRuleKamoku> sums(new (std::nothrow) ClRuleKamoku);
      EXPECT_EQ(sums->MoveReady(1, deptSumType, 0, &monthRange_, &department, 0), 0);
    }

    std::unique_ptr<ClRuleShohizei> taxSums(new (std::nothrow) ClRuleShohizei);
    const int16_t start = 1;
    const int16_t end = 18;
    const int32_t rate = 500;
    EXPECT_EQ(taxSums->MoveReady(2, &start, &end, &rate, nullptr, 1), 0);
    EXPECT_EQ(taxSums->GetSumInfoCount(), 2);

    std::unique_ptr<ClRuleShiwake> journals(new (std::nothrow) ClRuleShiwake);
    NestedFilter nonTaxable;
    BuildNonTaxablePurchaseFilter(monthRange_, &nonTaxable);
    int32_t count = 0;
    EXPECT_EQ(journals->GetSwkCount(&nonTaxable.top(), nullptr, &count), 0);
    EXPECT_EQ(journals->CheckExistSwkByJigyoBunrui(&monthRange_, 6, &count), 0);
    uint32_t flags = 0;
    EXPECT_EQ(journals->CheckExistSwkByZeiRate(&monthRange_, &flags, 1), 0);
    EXPECT_EQ(flags, 2u);
    EXPECT_EQ(journals->MoveReady(&nonTaxable.top(), nullptr, nullptr, 4), 0);
    StSWKTINFO line;
    walked_ = 0;
    while (journals->MoveNext(&line) == 0) ++walked_;
    journals->MoveFinish();
  }

  HostFixture host_{HostStorage::kMemory};
  StFINDINFO monthRange_{};
  int walked_ = 0;
};

TEST_F(SummationPlanTest, ServicesReadTheDerivedDataThroughTheirKeys) {
  host_.BuildJournalDerived(1);
  auto texts = StatementsOf([&] { RunServices(); });
  EXPECT_EQ(walked_, 1);
  ASSERT_FALSE(texts.empty());
  for (const std::string& sql : texts) {
    EXPECT_FALSE(ReadsLines(sql)) << sql;
    if (sql.find("journal_") == std::string::npos || ReadsCatalogue(sql)) continue;
    // The data set's rows through a key, never a scan of a table.
    std::string plan = PlanOf(host_.Db(), sql);
    EXPECT_NE(plan.find("SEARCH"), std::string::npos) << sql << "\n" << plan;
    EXPECT_EQ(TableScan(plan), "") << sql << "\n" << plan;
  }
}

// A changed line is read from the row that notes it, which holds its
// values: neither the lines nor a rebuild.
TEST_F(SummationPlanTest, ChangedLinesAreReadFromTheirNotesWithoutARebuild) {
  host_.BuildJournalDerived(1);
  host_.AddJournal({.date = 20140610,
                    .debit = {.account = 1, .amount = 540000},
                    .credit = {.account = 2, .amount = 500000, .tax = 40000, .taxClass = 1},
                    .rate = 500});
  auto texts = StatementsOf([&] { RunServices(); });
  EXPECT_EQ(walked_, 2);
  int changeReads = 0;
  for (const std::string& sql : texts) {
    EXPECT_FALSE(ReadsLines(sql)) << sql;
    if (sql.find("journal_line_change") == std::string::npos) continue;
    ++changeReads;
    std::string plan = PlanOf(host_.Db(), sql);
    EXPECT_EQ(plan.find("SCAN"), std::string::npos) << sql << "\n" << plan;
  }
  EXPECT_GE(changeReads, 1);
  // Changed or deleted lines count as well.
  host_.Exec(
      "UPDATE journal_line SET debit_tax_class = 21, credit_tax_class = 21 WHERE line_id = 2");
  RunServices();
  EXPECT_EQ(walked_, 1);
  host_.Exec("DELETE FROM journal_line WHERE line_id = 1");
  RunServices();
  EXPECT_EQ(walked_, 0);
}

}  // namespace
}  // namespace taxlink::testing
