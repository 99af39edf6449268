// The derived journal data stay what a rebuild from the lines gives, however
// the lines are written: the import's own build, the triggers that keep the
// totals of writes from outside current and note the changed lines, the
// walks that read those lines through their keys, the rewrite of their
// chunks, the upgrade of a store from an earlier build and the build in temp
// tables for a user who may only read (docs/host.md "Derived journal data").

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "host/ClRuleShiwake.h"
#include "host/FilterCondition.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/DerivedProgress.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/ReadScope.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

std::string Rows(sqlite3* db, const std::string& sql) {
  std::string rows;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    return rows;
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      rows += std::string(text != nullptr ? reinterpret_cast<const char*>(text) : "null") + " ";
    }
    rows += "\n";
  }
  sqlite3_finalize(stmt);
  return rows;
}

// Everything a service reads of a data set's derived data: the totals and
// the lines a walk yields, with the state.
std::string DerivedView(sqlite3* db, int32_t dataNo) {
  const std::string no = std::to_string(dataNo);
  std::string view =
      Rows(db, "SELECT built, overflow FROM journal_derived_state WHERE data_no = " + no) +
      Rows(db,
           "SELECT rate, business_type, debit_tax_class, credit_tax_class, month_kind, lines, "
           "debit_amount, debit_tax, credit_amount, credit_tax FROM journal_class_total "
           "WHERE data_no = " +
               no + " ORDER BY 1, 2, 3, 4, 5") +
      Rows(db,
           "SELECT account_id, side, rate, month_kind, lines, amount, tax FROM "
           "journal_account_total WHERE data_no = " +
               no + " ORDER BY 1, 2, 3, 4") +
      Rows(db,
           "SELECT dept, account_id, side, month_kind, lines, amount, tax FROM "
           "journal_department_total WHERE data_no = " +
               no + " ORDER BY 1, 2, 3, 4");
  mvhost::PackedLineReader reader;
  EXPECT_EQ(reader.Open(db, dataNo), 0);
  const mvhost::PackedLine* line = nullptr;
  int32_t step = 0;
  while ((step = reader.Next(&line)) == 1) {
    for (int64_t value :
         {int64_t{line->lineId}, int64_t{line->journalNo}, int64_t{line->date},
          int64_t{line->monthKind}, int64_t{line->taxRate}, int64_t{line->businessType},
          int64_t{line->hasDebit}, int64_t{line->debitAccount}, int64_t{line->debitDept},
          int64_t{line->debitTaxClass}, line->debitAmount, line->debitTax, int64_t{line->hasCredit},
          int64_t{line->creditAccount}, int64_t{line->creditDept}, int64_t{line->creditTaxClass},
          line->creditAmount, line->creditTax}) {
      view += std::to_string(value) + " ";
    }
    view += "\n";
  }
  EXPECT_EQ(step, 0);
  return view;
}

class DerivedDataTest : public ::testing::Test {
 protected:
  // Data set 1 with lines over three chunks, data set 2 with a few.
  void SetUp() override {
    for (int32_t dataNo : {1, 2}) {
      host_.AddDataSet({.dataNo = dataNo, .dataId = "D00" + std::to_string(dataNo)});
      const int lines = dataNo == 1 ? 2500 : 40;
      for (int i = 1; i <= lines; ++i) {
        static const int32_t kClasses[] = {0, 1, 2, 21, 22, 24, 6};
        static const int32_t kRates[] = {800, 500, 0};
        const int month = i % 12;  // April 2014 to March 2015
        host_.AddJournal(dataNo,
                         {.date = month < 9 ? 20140410 + month * 100 : 20150110 + (month - 9) * 100,
                          .debit = {.account = 1 + i % 5,
                                    .amount = int64_t{i} * 10000,
                                    .tax = int64_t{i} * 800,
                                    .taxClass = kClasses[i % 7],
                                    .dept = i % 4},
                          .credit = {.account = i % 11 == 0 ? 0 : 6 + i % 3,
                                     .amount = int64_t{i} * 9000,
                                     .tax = int64_t{i} * 700,
                                     .taxClass = kClasses[(i + 3) % 7]},
                          .rate = kRates[i % 3],
                          .businessType = i % 7});
      }
      host_.BuildJournalDerived(dataNo);
    }
  }

  int64_t Count(const std::string& sql) { return std::stoll(Rows(host_.Db(), sql)); }

  HostFixture host_{HostStorage::kMemory};
};

struct Edit {
  const char* name;
  std::vector<const char*> sql;
};

class DerivedEditTest : public DerivedDataTest, public ::testing::WithParamInterface<Edit> {};

// Whatever another tool writes, the derived data read as a rebuild makes
// them, before and after the changed lines' chunks are rewritten.
TEST_P(DerivedEditTest, ReadAsARebuildMakesThem) {
  for (const char* sql : GetParam().sql) host_.Exec(sql);
  const std::string kept1 = DerivedView(host_.Db(), 1);
  const std::string kept2 = DerivedView(host_.Db(), 2);
  int64_t chunks = 0;
  EXPECT_EQ(mvhost::JournalDerived::FoldChanges(host_.Db(), 1, 1000, &chunks), 0);
  EXPECT_EQ(mvhost::JournalDerived::FoldChanges(host_.Db(), 2, 1000, &chunks), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM journal_line_change"), 0);
  const std::string chunksFolded = Rows(host_.Db(),
                                        "SELECT data_no, chunk_no, hex(lines) FROM "
                                        "journal_chunk ORDER BY 1, 2");
  EXPECT_EQ(DerivedView(host_.Db(), 1), kept1);
  ASSERT_EQ(mvhost::JournalDerived::Rebuild(host_.Db(), 1), 0);
  ASSERT_EQ(mvhost::JournalDerived::Rebuild(host_.Db(), 2), 0);
  EXPECT_EQ(kept1, DerivedView(host_.Db(), 1));
  EXPECT_EQ(kept2, DerivedView(host_.Db(), 2));
  EXPECT_EQ(chunksFolded, Rows(host_.Db(),
                               "SELECT data_no, chunk_no, hex(lines) FROM "
                               "journal_chunk ORDER BY 1, 2"));
}

INSTANTIATE_TEST_SUITE_P(
    Writes, DerivedEditTest,
    ::testing::Values(
        Edit{"OneAmount",
             {"UPDATE journal_line SET debit_amount = debit_amount + 10000 "
              "WHERE line_id = 5",
              "UPDATE journal_line SET credit_amount = -credit_amount, credit_tax = -3 "
              "WHERE line_id = 6"}},
        Edit{"OnePercentSpread",
             {"UPDATE journal_line SET credit_amount = credit_amount * 2, debit_tax_class = 22 "
              "WHERE line_id % 100 = 7"}},
        Edit{"ClassMonthAndDate",
             {"UPDATE journal_line SET credit_tax_class = 2, month_kind = 3 "
              "WHERE line_id BETWEEN 1000 AND 1100",
              "UPDATE journal_line SET tax_rate = 0, date = 20140301 WHERE line_id = 30"}},
        Edit{"SidesAccountsDepartments",
             {"UPDATE journal_line SET debit_account = NULL WHERE line_id = 10",
              "UPDATE journal_line SET credit_account = 2, credit_dept = 9 WHERE line_id = 11",
              "UPDATE journal_line SET debit_dept = 7, business_type = 3 WHERE line_id > 2400"}},
        Edit{"InsertedAndDeleted",
             {"INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, "
              "debit_account, debit_amount, debit_tax_class, tax_rate) "
              "VALUES (1, 9999, 1, 20140501, 2, 4, 30000, 21, 800), "
              "(1, 1900000, 2, 20140601, 3, 5, 40000, 1, 500)",
              "DELETE FROM journal_line WHERE data_no = 1 AND line_id % 3 = 0",
              "DELETE FROM journal_line WHERE data_no = 2 AND line_id > 2520"}},
        Edit{"MovedAndRenumbered",
             {"UPDATE journal_line SET data_no = 2, line_id = 800000 WHERE line_id = 20",
              "UPDATE journal_line SET line_id = line_id + 100000 WHERE line_id BETWEEN 100 "
              "AND 200"}}),
    [](const ::testing::TestParamInfo<Edit>& test) { return std::string(test.param.name); });

TEST_F(DerivedDataTest, WritesThatChangeNothingTheyUseLeaveThemAlone) {
  host_.Exec("UPDATE journal_line SET description = 'moved to the archive'");
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount, credit_tax = credit_tax");
  EXPECT_EQ(Count("SELECT count(*) FROM journal_line_change"), 0);
}

// A service reads inside a read transaction of its own (mvhost::ReadScope);
// the rewrite of changed lines' chunks it makes on the way must still happen,
// in a write transaction of its own, and no transaction may outlive the call.
TEST_F(DerivedDataTest, AServiceFoldsChangedLinesAndLeavesNoTransactionOpen) {
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount + 10000 WHERE line_id = 5");
  ASSERT_EQ(Count("SELECT count(*) FROM journal_line_change"), 1);
  ClRuleShiwake rule;
  ASSERT_EQ(rule.SetCurDataID("D001"), 0);
  int32_t lines = 0;
  EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &lines), 0);
  EXPECT_EQ(lines, 2500);
  EXPECT_EQ(Count("SELECT count(*) FROM journal_line_change"), 0);
  EXPECT_NE(sqlite3_get_autocommit(host_.Db()), 0);
}

// What a service folds of a change spread over data set 1's lines, renumbered
// over 21 chunks: a change within a run's 16 chunks at once; one spread
// thinner is carried in its notes until they pass a 64th of the lines,
// or the account totals' log grows long, and then 16 chunks a run.
struct Spread {
  const char* name;
  const char* lines;       // the renumbered lines (their old numbers) changed
  int64_t chunksFoldedOf;  // -1: all of the changed chunks folded
  const char* also = "";   // written after the change
};

class DerivedFoldTest : public DerivedDataTest, public ::testing::WithParamInterface<Spread> {};

TEST_P(DerivedFoldTest, AServiceFoldsWhatIsWorthItsWrite) {
  host_.Exec("UPDATE journal_line SET line_id = 1000000 + line_id * 8 WHERE data_no = 1");
  int64_t chunks = 0;
  ASSERT_EQ(mvhost::JournalDerived::FoldChanges(host_.Db(), 1, 1000, &chunks), 0);
  host_.Exec(std::string("UPDATE journal_line SET debit_amount = debit_amount + 10000 WHERE "
                         "data_no = 1 AND ") +
             GetParam().lines);
  if (*GetParam().also != '\0') host_.Exec(GetParam().also);
  const std::string changedChunks =
      "SELECT count(DISTINCT line_id >> 10) FROM journal_line_change WHERE data_no = 1";
  const int64_t before = Count(changedChunks);
  ClRuleShiwake rule;
  ASSERT_EQ(rule.SetCurDataID("D001"), 0);
  int32_t lines = 0;
  EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &lines), 0);
  EXPECT_EQ(lines, 2500);
  const int64_t folded = GetParam().chunksFoldedOf < 0 ? before : GetParam().chunksFoldedOf;
  EXPECT_EQ(Count(changedChunks), before - folded) << before << " chunks changed";
  // The long log trimmed with the fold.
  if (*GetParam().also != '\0') {
    EXPECT_LE(Count("SELECT count(*) FROM journal_total_log"), 4097);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Spreads, DerivedFoldTest,
    ::testing::Values(Spread{"WithinARunsChunks", "(line_id - 1000000) % 1000 = 0 AND "
                                                  "line_id <= 1016000", -1},
                      Spread{"SpreadThin", "(line_id - 1000000) % 1000 = 0", 0},
                      Spread{"PastTheNotesShare", "1", 16},
                      Spread{"WithALongLog", "(line_id - 1000000) % 1000 = 0", 16,
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 70000) INSERT INTO journal_total_log (data_no, "
                             "account_id, side, rate, month_kind) SELECT 1, 1, 1, 800, 4 FROM n"}),
    [](const ::testing::TestParamInfo<Spread>& test) { return std::string(test.param.name); });

// The derived data's writers end a service's read transaction themselves
// before they write: inside it BEGIN IMMEDIATE fails.
TEST_F(DerivedDataTest, AWriteEndsTheReadTransactionItMeets) {
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount + 10000 WHERE line_id = 5");
  mvhost::ReadScope scope(host_.Db());
  ASSERT_TRUE(mvhost::ReadScope::Held(host_.Db()));
  int64_t chunks = 0;
  EXPECT_EQ(mvhost::JournalDerived::FoldChanges(host_.Db(), 1, 16, &chunks), 0);
  EXPECT_EQ(chunks, 1);
  EXPECT_FALSE(mvhost::ReadScope::Held(host_.Db()));
  EXPECT_NE(sqlite3_get_autocommit(host_.Db()), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM journal_line_change"), 0);
}

// Counts and rates over month kinds and tax classes are answered from the
// class totals the check kept: after any write they must follow the store,
// never the rows the check read before it.
TEST_F(DerivedDataTest, CountsFromTheCheckedTotalsFollowTheStore) {
  StFINDINFO months{};
  for (int i : {0, 1}) {
    FilterCondition& c = months.conditions[i];
    c.fieldId = kFieldMonthKind;
    c.op = i == 0 ? kOpGreaterOrEqual : kOpLessOrEqual;
    c.valueType = kValueInt16;
    c.value = i == 0 ? 1 : 6;
    c.link = i == 0 ? kLinkAnd : kLinkLast;
  }
  ClRuleShiwake rule;
  ASSERT_EQ(rule.SetCurDataID("D001"), 0);
  const std::string inMonths = " AND data_no = 1 AND month_kind BETWEEN 1 AND 6";
  for (const char* edit :
       {"", "UPDATE journal_line SET month_kind = 3, business_type = 6 WHERE line_id <= 300",
        "UPDATE journal_line SET tax_rate = 300 WHERE line_id = 5",
        "DELETE FROM journal_line WHERE line_id BETWEEN 1000 AND 1600"}) {
    if (*edit != '\0') host_.Exec(edit);
    int32_t lines = 0;
    int32_t sixth = 0;
    uint32_t rates = 0;
    ASSERT_EQ(rule.GetSwkCount(&months, nullptr, &lines), 0);
    ASSERT_EQ(rule.CheckExistSwkByJigyoBunrui(&months, 6, &sixth), 0);
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(&months, &rates, 1), 0);
    EXPECT_EQ(lines, Count("SELECT count(*) FROM journal_line WHERE 1" + inMonths)) << edit;
    EXPECT_EQ(sixth, Count("SELECT count(*) FROM journal_line WHERE business_type = 6" + inMonths))
        << edit;
    EXPECT_EQ((rates & 1u) != 0,
              Count("SELECT count(*) FROM journal_line WHERE tax_rate = 300" + inMonths) > 0)
        << edit;
  }
}

TEST_F(DerivedDataTest, ASumPastSixtyFourBitsFailsUntilTheLinesFitAgain) {
  host_.Exec(
      "UPDATE journal_line SET debit_amount = 9223372036854775000 "
      "WHERE line_id IN (1, 6)");
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), mvhost::kErrOverflow);
  host_.Exec("UPDATE journal_line SET debit_amount = 10000 WHERE line_id IN (1, 6)");
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
}

TEST_F(DerivedDataTest, ADeletedDataSetTakesItsDerivedDataAlong) {
  host_.Exec("DELETE FROM data_set WHERE data_no = 2");
  for (const char* table :
       {"journal_derived_state", "journal_chunk", "journal_class_total", "journal_account_total",
        "journal_department_total", "journal_line_change"}) {
    EXPECT_EQ(Count(std::string("SELECT count(*) FROM ") + table + " WHERE data_no = 2"), 0)
        << table;
  }
  EXPECT_GT(Count("SELECT count(*) FROM journal_chunk WHERE data_no = 1"), 0);
}

// The SQL that writes `hex` over the bytes of chunk 0 of data set 1 from
// `offset` on (|| of blobs gives text: cast back).
std::string PatchChunk(size_t offset, const std::string& hex) {
  return "UPDATE journal_chunk SET lines = CAST(substr(lines, 1, " + std::to_string(offset) +
         ") || x'" + hex + "' || substr(lines, " + std::to_string(offset + 1 + hex.size() / 2) +
         ") AS BLOB) WHERE data_no = 1 AND chunk_no = 0";
}

// Damage from outside the host: what the checks as the data are made ready
// find is built again; what only a walk can meet fails that walk naming the
// data set and is built again by the next; a line the host never writes
// fails naming it. Never a figure from the damage.
TEST_F(DerivedDataTest, DamageIsRebuiltOrFailsNamingTheDataSet) {
  const std::string built = DerivedView(host_.Db(), 1);
  const struct {
    std::string damage;
    const char* record;  // the walk's failure; null: mended before any walk
  } kCases[] = {
      {"UPDATE journal_chunk SET lines = substr(lines, 1, 100) WHERE chunk_no = 1", nullptr},
      {"UPDATE journal_chunk SET lines = 'text' WHERE chunk_no = 0", nullptr},
      {"DELETE FROM journal_chunk WHERE data_no = 1", nullptr},
      {"UPDATE journal_class_total SET lines = lines + 1 WHERE month_kind = 2", nullptr},
      {"UPDATE journal_class_total SET credit_amount = credit_amount + 1", nullptr},
      {"UPDATE journal_account_total SET month_kind = 13 WHERE month_kind = 2", nullptr},
      {"UPDATE journal_account_total SET amount = 'abc' WHERE side = 2", nullptr},
      {PatchChunk(offsetof(mvhost::PackedLine, monthKind), "0D000000"),
       "data set 1: chunk 0: packed line 1 has month kind 13"},
      {PatchChunk(sizeof(mvhost::PackedLine) + offsetof(mvhost::PackedLine, lineId), "88130000"),
       "data set 1: chunk 0: packed line 5000 is out of place"},
      {PatchChunk(offsetof(mvhost::PackedLine, creditAmount), "01"),
       "data set 1: the chunks hold 2500 lines, the totals count 2500 but other amounts"},
      // A note of a line changed and changed back (the connection rewrote
      // its chunks once already, so the walk meets the note).
      {"UPDATE journal_line SET debit_amount = debit_amount + 1 WHERE line_id = 3;"
       "UPDATE journal_line SET debit_amount = debit_amount - 1 WHERE line_id = 3;"
       "UPDATE journal_line_change SET packed = 'x' WHERE line_id = 3",
       "data set 1: the note of journal line 3 is damaged"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    host_.Exec(c.damage);
    ASSERT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
    if (c.record != nullptr) {
      // The walk fails where it meets the damage (a note may be its first
      // step).
      mvhost::PackedLineReader reader;
      int32_t step = reader.Open(host_.Db(), 1);
      const mvhost::PackedLine* line = nullptr;
      if (step == 0) {
        while ((step = reader.Next(&line)) == 1) {
        }
      }
      EXPECT_EQ(step, mvhost::kErrDamagedDerived);
      EXPECT_EQ(mvhost::LastDamagedDerivedRecord(), c.record);
      ASSERT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
    }
    EXPECT_TRUE(DerivedView(host_.Db(), 1) == built) << "other derived data than a rebuild's";
  }
}

TEST_F(DerivedDataTest, ALineTheHostNeverWritesFailsNamingIt) {
  for (const char* damage : {"UPDATE journal_line SET credit_amount = 'abc' WHERE line_id = 2",
                             "UPDATE journal_line SET month_kind = 13 WHERE line_id = 2",
                             "UPDATE journal_line SET debit_account = 1.5 WHERE line_id = 2"}) {
    SCOPED_TRACE(damage);
    host_.Exec("SAVEPOINT damage");
    host_.Exec(damage);
    EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), mvhost::kErrDamagedDerived);
    EXPECT_EQ(mvhost::JournalDerived::Rebuild(host_.Db(), 1), mvhost::kErrDamagedDerived);
    EXPECT_EQ(mvhost::LastDamagedDerivedRecord(),
              "data set 1: journal line 2 holds a value the host never writes");
    host_.Exec("ROLLBACK TO damage; RELEASE damage");
  }
  // A fractional rate counts as its whole part, in the trigger's verdict as
  // in the rewrite of its chunk.
  host_.Exec("UPDATE journal_line SET tax_rate = 800.5 WHERE line_id = 2");
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
  EXPECT_NE(mvhost::HostErrorText(mvhost::kErrDamagedDerived)
                .find("\ndata set 1: journal line 2 holds a value the host never writes\n\n"),
            std::string::npos);
}

// What a store kept by the build before this one holds: its tables, its
// triggers (which only marked the data stale) and a state row saying built.
constexpr const char kEarlierBuildSql[] = R"SQL(
DROP VIEW journal_derived_delta;
DROP TRIGGER journal_derived_v2_insert;
DROP TRIGGER journal_derived_v2_update;
DROP TRIGGER journal_derived_v2_delete;
DROP TRIGGER journal_derived_v2_forget;
DROP TABLE journal_derived_state;
DROP TABLE journal_account_total;
DROP TABLE journal_line_change;
CREATE TABLE journal_derived_state (data_no INTEGER PRIMARY KEY, overflow INTEGER NOT NULL DEFAULT 0);
CREATE TABLE journal_account_total (data_no INTEGER NOT NULL, account_id INTEGER NOT NULL,
  side INTEGER NOT NULL, rate INTEGER NOT NULL, month_kind INTEGER NOT NULL,
  amount INTEGER NOT NULL, tax INTEGER NOT NULL,
  PRIMARY KEY (data_no, account_id, side, rate, month_kind)) WITHOUT ROWID;
CREATE TRIGGER journal_line_updated AFTER UPDATE ON journal_line BEGIN
  DELETE FROM journal_derived_state WHERE data_no IN (OLD.data_no, NEW.data_no);
END;
INSERT INTO journal_derived_state VALUES (1, 0);
INSERT INTO journal_account_total VALUES (1, 1, 1, 800, 1, 5, 0);
)SQL";

TEST_F(DerivedDataTest, AStoreOfAnEarlierBuildIsUpgradedAndRebuilt) {
  const std::string rebuilt = DerivedView(host_.Db(), 1);
  host_.Exec(kEarlierBuildSql);
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
  EXPECT_EQ(DerivedView(host_.Db(), 1), rebuilt);
  EXPECT_EQ(Count("SELECT count(*) FROM sqlite_schema WHERE name = 'journal_line_updated'"), 0);
}

// The builds before this one had the same triggers on the tables (one with
// the work on the totals written out in each, the one before this without
// the log of the account totals): they get this build's and what they kept
// is used as it is; beside an earlier build's trigger, a rebuild.
TEST_F(DerivedDataTest, ThePreviousBuildsTriggersAreReplacedWithoutARebuild) {
  constexpr const char kPreviousBuildSql[] = R"SQL(
DROP VIEW journal_derived_delta;
DROP TRIGGER journal_derived_v2_insert;
CREATE TRIGGER journal_derived_v2_insert AFTER INSERT ON journal_line BEGIN SELECT 1; END;
)SQL";
  constexpr const char kWithoutLogSql[] = R"SQL(
DROP TABLE journal_total_log;
DROP TABLE journal_total_log_floor;
DROP TRIGGER journal_total_log_insert;
DROP TRIGGER journal_total_log_delete;
DROP TRIGGER journal_total_log_update;
DROP TRIGGER journal_total_log_rekey;
)SQL";
  const struct {
    const char* name;
    const char* sql;
    bool withEarlier;
  } kCases[] = {
      {"alone", kPreviousBuildSql, false},
      {"with an earlier trigger", kPreviousBuildSql, true},
      {"without the log", kWithoutLogSql, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const bool withEarlier = c.withEarlier;
    host_.Exec("SAVEPOINT previous");
    host_.Exec(c.sql);
    if (withEarlier) {
      host_.Exec(
          "CREATE TRIGGER journal_line_updated AFTER UPDATE ON journal_line BEGIN SELECT 1; END");
    }
    mvhost::DerivedSchema::Shape before = mvhost::DerivedSchema::Shape::kCurrent;
    ASSERT_EQ(mvhost::DerivedSchema::Inspect(host_.Db(), &before), 0);
    EXPECT_EQ(before, mvhost::DerivedSchema::Shape::kOutdated) << "a run would not upgrade it";
    ASSERT_EQ(mvhost::DerivedSchema::Migrate(host_.Db()), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM journal_derived_state WHERE built = 1"),
              withEarlier ? 0 : 2);
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_schema WHERE name = 'journal_line_updated' OR "
                    "sql GLOB '*SELECT 1; END*'"),
              0);
    mvhost::DerivedSchema::Shape shape = mvhost::DerivedSchema::Shape::kOutdated;
    ASSERT_EQ(mvhost::DerivedSchema::Inspect(host_.Db(), &shape), 0);
    EXPECT_EQ(shape, mvhost::DerivedSchema::Shape::kCurrent);
    // The log's floor is past every entry: no check kept before covers it.
    EXPECT_EQ(Count("SELECT count(*) FROM journal_total_log_floor WHERE floor = (SELECT max(seq) "
                    "FROM journal_total_log)"),
              1);
    host_.Exec("ROLLBACK TO previous; RELEASE previous");
  }
}

// A run takes the stored apply trigger for this build's by its length and
// digest: they must be the built text's, and a text differing anywhere must
// not pass.
TEST(DerivedSchemaTest, TheApplyTriggerIsKnownByItsTextAlone) {
  const std::string& text = mvhost::DerivedSchema::ApplyTriggerText();
  ASSERT_TRUE(mvhost::DerivedSchema::IsCurrentApplyTrigger(text))
      << "the trigger's text changed: its length is " << text.size() << " and its digest 0x"
      << std::hex << mvhost::DerivedSchema::TextDigest(text);
  std::string lastByte = text;
  lastByte.back() ^= 1;
  std::string middleByte = text;
  middleByte[text.size() / 2] ^= 0x20;
  std::string swapped = text;
  std::swap(swapped[8], swapped[16]);
  for (const std::string& other :
       {lastByte, middleByte, swapped, text + " ", text.substr(1) + " ", std::string()}) {
    EXPECT_FALSE(mvhost::DerivedSchema::IsCurrentApplyTrigger(other)) << other.size();
  }
}

// The build before this one noted a changed line's id alone: after the
// upgrade each note holds what its line now is (or that it is gone), and the
// walks and the rewrite of the chunks read them as a rebuild makes them.
TEST_F(DerivedDataTest, NotesOfIdsAloneGetWhatTheirLinesHold) {
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount + 7 WHERE line_id % 40 = 3");
  host_.Exec("DELETE FROM journal_line WHERE data_no = 1 AND line_id = 9");
  const std::string changed = DerivedView(host_.Db(), 1);
  host_.Exec(R"SQL(
CREATE TABLE noted AS SELECT data_no, line_id FROM journal_line_change;
DROP TABLE journal_line_change;
CREATE TABLE journal_line_change (data_no INTEGER NOT NULL, line_id INTEGER NOT NULL,
  PRIMARY KEY (data_no, line_id)) WITHOUT ROWID;
INSERT INTO journal_line_change SELECT * FROM noted;
DROP TABLE noted;
DROP TRIGGER journal_derived_v2_apply;
CREATE TRIGGER journal_derived_v2_apply INSTEAD OF INSERT ON journal_derived_delta
BEGIN SELECT 1; END;
)SQL");
  mvhost::DerivedSchema::Shape shape = mvhost::DerivedSchema::Shape::kCurrent;
  ASSERT_EQ(mvhost::DerivedSchema::Inspect(host_.Db(), &shape), 0);
  EXPECT_EQ(shape, mvhost::DerivedSchema::Shape::kOutdated);
  ASSERT_EQ(mvhost::DerivedSchema::Migrate(host_.Db()), 0);
  EXPECT_EQ(DerivedView(host_.Db(), 1), changed);
  int64_t chunks = 0;
  EXPECT_EQ(mvhost::JournalDerived::FoldChanges(host_.Db(), 1, 1000, &chunks), 0);
  EXPECT_EQ(DerivedView(host_.Db(), 1), changed);
  ASSERT_EQ(mvhost::JournalDerived::Rebuild(host_.Db(), 1), 0);
  EXPECT_EQ(DerivedView(host_.Db(), 1), changed);
}

// Records what a rebuild shows.
class RecordedDisplay : public mvhost::RebuildDisplay {
 public:
  void Show(const mvhost::RebuildProgress& progress) override { shown.push_back(progress); }
  void Close() override { ++closed; }
  std::vector<mvhost::RebuildProgress> shown;
  int closed = 0;
};

TEST_F(DerivedDataTest, ALongRebuildShowsItsProgressAndAShortOneNothing) {
  host_.AddDataSet({.dataNo = 3, .dataId = "D003"});
  for (int i = 0; i < 70000; ++i) {
    host_.AddJournal(3, {.date = 20140410, .debit = {.account = 1, .amount = 10000}});
  }
  RecordedDisplay display;
  mvhost::RebuildDisplay* before = mvhost::SetRebuildDisplay(&display);
  host_.Exec("UPDATE journal_derived_state SET built = 0 WHERE data_no = 2");
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 2), 0);
  EXPECT_TRUE(display.shown.empty());
  EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 3), 0);
  mvhost::SetRebuildDisplay(before);
  ASSERT_GE(display.shown.size(), 3u);
  EXPECT_EQ(display.shown.front().done, 0);
  EXPECT_EQ(display.shown.back().done, display.shown.back().total);
  EXPECT_FALSE(display.shown.back().waiting);
  EXPECT_EQ(display.closed, 1);
}

TEST(DerivedDataReadOnlyTest, AUserWhoMayOnlyReadBuildsThemInTempTables) {
  HostFixture host;
  host.AddDataSet({});
  for (int i = 1; i <= 30; ++i) {
    host.AddJournal({.date = 20140410,
                     .credit = {.account = 2, .amount = int64_t{i} * 10000, .taxClass = 1},
                     .rate = 800});
  }
  sqlite3* reader = nullptr;
  ASSERT_EQ(
      sqlite3_open_v2((host.Home() + "/host.db").c_str(), &reader, SQLITE_OPEN_READONLY, nullptr),
      SQLITE_OK);
  EXPECT_EQ(mvhost::JournalDerived::Ensure(reader, 1), 0);
  // The services find the reader's own tables, and only on the reader.
  EXPECT_TRUE(mvhost::DerivedSchema::UsesTemp(reader));
  EXPECT_FALSE(mvhost::DerivedSchema::UsesTemp(host.Db()));
  const std::string readOnly = DerivedView(reader, 1);
  mvhost::JournalDerived::ForgetConnection(reader);
  sqlite3_close_v2(reader);
  EXPECT_EQ(Rows(host.Db(), "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'journal_%'"),
            "1 \n");
  host.BuildJournalDerived(1);
  EXPECT_EQ(readOnly, DerivedView(host.Db(), 1));
}

}  // namespace
}  // namespace taxlink::testing
