// The check kept beside the store brought up to date after another
// connection's change through the log of the account totals written since:
// the rows it gives are a full check's, damage written since is found, and a
// log that may have missed a write is not taken.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/JournalDerived.h"
#include "tests/support/HostFixture.h"
#include "tests/support/RecordingConnection.h"

namespace taxlink::testing {
namespace {

// Another run's connection, which records whether it read every row of the
// account totals (the full check's statement) or the log.
class OtherRun {
 public:
  explicit OtherRun(const HostFixture& host) : connection_(host) {}

  // The check's finding; "read all" when it read every row of the account
  // totals, "from the log" when it read the log instead.
  std::string Check(std::vector<mvhost::AccountTotal>* rows = nullptr) {
    mvhost::DerivedFinding finding;
    EXPECT_EQ(mvhost::CheckDerivedData(connection_.db(), 1, &finding), 0);
    if (rows != nullptr) {
      const mvhost::AccountTotals* totals = nullptr;
      EXPECT_EQ(mvhost::CheckedAccountTotals(connection_.db(), 1, &totals), 0);
      rows->clear();
      if (totals != nullptr) rows->assign(totals->begin(), totals->end());
    }
    return finding.problem;
  }
  // The check of a service, after its fold of the changed lines.
  void Ensure() { EXPECT_EQ(mvhost::JournalDerived::Ensure(connection_.db(), 1), 0); }
  bool ReadAll() const {
    return connection_.Ran("journal_account_total WHERE data_no = ? ORDER BY");
  }
  bool ReadLog() const { return connection_.Ran("journal_total_log"); }

 private:
  RecordingConnection connection_;
};

// A data set of `lines` lines, about as many rows of account totals (the
// log is taken only for a few keys against many rows), whose check is kept
// beside the store.
std::unique_ptr<HostFixture> KeptStore(int64_t lines = 200, int32_t accounts = 97) {
  auto host = std::make_unique<HostFixture>(HostStorage::kHome);
  host->AddDataSet({});
  for (int64_t i = 1; i <= lines; ++i) {
    host->AddJournal({.date = static_cast<int32_t>(20140410 + (i % 9) * 100),
                      .debit = {.account = static_cast<int32_t>(1 + i % accounts),
                                .amount = i * 1000,
                                .tax = i * 80},
                      .credit = {.account = 400, .amount = i * 1000, .tax = i * 80},
                      .rate = 800});
  }
  host->BuildJournalDerived(1);
  OtherRun keeper(*host);
  EXPECT_EQ(keeper.Check(), "");
  return host;
}

bool SameRows(const std::vector<mvhost::AccountTotal>& a,
              const std::vector<mvhost::AccountTotal>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].amount != b[i].amount || a[i].tax != b[i].tax || a[i].accountId != b[i].accountId ||
        a[i].rate != b[i].rate || a[i].side != b[i].side || a[i].entry != b[i].entry) {
      return false;
    }
  }
  return true;
}

constexpr const char* kDisagree = "the totals per tax class and per account do not agree";
// One row of the account totals, by its key.
constexpr const char* kOneRow =
    "(data_no, account_id, side, rate, month_kind) = (SELECT data_no, account_id, side, rate, "
    "month_kind FROM journal_account_total WHERE data_no = 1 AND side = 1 LIMIT 1)";

// Also on a store whose kept rows span several of the file's pieces and
// blocks (some 1 000 rows).
class LaterCheckTest : public ::testing::TestWithParam<int64_t> {};

TEST_P(LaterCheckTest, ALaterCheckFromTheLogKeepsTheRowsOfAFullCheck) {
  const std::unique_ptr<HostFixture> host =
      GetParam() == 200 ? KeptStore() : KeptStore(GetParam(), 389);
  // Each change is folded and checked from the log of the one before.
  const char* const kChanges[] = {
      "UPDATE journal_line SET debit_amount = debit_amount + 7 WHERE line_id = 3",
      // A new row; a row whose month kind sorts before 18 (its entry 14
      // after 13); a line gone; the new row gone again.
      "UPDATE journal_line SET debit_account = 999 WHERE line_id = 5",
      "UPDATE journal_line SET month_kind = 15, date = 20150331 WHERE line_id = 8",
      "DELETE FROM journal_line WHERE line_id = 11",
      "UPDATE journal_line SET debit_account = 6 WHERE line_id = 5",
  };
  for (const char* change : kChanges) {
    SCOPED_TRACE(change);
    host->Exec(change);
    int64_t chunks = 0;
    ASSERT_EQ(mvhost::JournalDerived::FoldChanges(host->Db(), 1, 100, &chunks), 0);
    std::vector<mvhost::AccountTotal> fromLog, full;
    {
      OtherRun run(*host);
      EXPECT_EQ(run.Check(&fromLog), "");
      EXPECT_TRUE(run.ReadLog());
      EXPECT_FALSE(run.ReadAll()) << "the log was not taken";
    }
    ASSERT_FALSE(fromLog.empty());
    // The same store checked whole: its check is kept again, as the one
    // from the log was.
    std::remove((host->Home() + "/host.db-kept/1.since").c_str());
    host->Exec("CREATE TABLE IF NOT EXISTS moved (x); INSERT INTO moved VALUES (1)");
    OtherRun run(*host);
    EXPECT_EQ(run.Check(&full), "");
    EXPECT_TRUE(run.ReadAll());
    EXPECT_TRUE(SameRows(fromLog, full));
  }
}

INSTANTIATE_TEST_SUITE_P(AccountTotalLogTest, LaterCheckTest, ::testing::Values(200, 1000));

// A fold trims a long log only when the kept check could not follow it
// anyway: here the check was kept after 5 000 entries of another data set.
TEST(AccountTotalLogTest, AFoldLeavesTheLogTheKeptCheckFollows) {
  const std::unique_ptr<HostFixture> host = KeptStore();
  host->Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
      "INSERT INTO journal_total_log (data_no, account_id, side, rate, month_kind) "
      "SELECT 2, 1, 1, 800, 4 FROM n");
  EXPECT_EQ(OtherRun(*host).Check(), "");
  host->Exec("UPDATE journal_line SET debit_amount = debit_amount + 7 WHERE line_id = 3");
  OtherRun run(*host);
  run.Ensure();
  EXPECT_TRUE(run.ReadLog());
  EXPECT_FALSE(run.ReadAll()) << "the log was trimmed under the kept check";
}

TEST(AccountTotalLogTest, DamageWrittenAfterALineChangeIsFound) {
  const struct {
    const char* damage;
    const char* problem;
  } kCases[] = {
      {"UPDATE journal_account_total SET amount = amount + 1 WHERE ", kDisagree},
      {"DELETE FROM journal_account_total WHERE ", kDisagree},
      {"UPDATE journal_account_total SET month_kind = 99 WHERE ",
       "journal_account_total has month kind 99, side 1 or a value that is no integer"},
      {"INSERT INTO journal_account_total (data_no, account_id, side, rate, month_kind, amount, "
       "tax, lines) VALUES (1, 77, 2, 800, 4, 5, 0, 1) --",
       kDisagree},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    const std::unique_ptr<HostFixture> host = KeptStore();
    host->Exec("UPDATE journal_line SET debit_amount = debit_amount + 7 WHERE line_id = 3");
    host->Exec(std::string(c.damage) + kOneRow);
    OtherRun run(*host);
    EXPECT_EQ(run.Check(), c.problem);
    EXPECT_FALSE(run.ReadAll()) << "the log was not taken";
  }
}

TEST(AccountTotalLogTest, ALogThatMayHaveMissedAWriteIsNotTaken) {
  // The damage is a write to one row; what follows hides it from the log as
  // a trim, an edit of the log or a trigger missing for a while would.
  const struct {
    const char* name;
    std::string after;
  } kCases[] = {
      {"as it is (so the cases below are real)", ""},
      {"its entry moved below the floor",
       "UPDATE journal_total_log SET data_no = 2 WHERE seq = (SELECT max(seq) FROM "
       "journal_total_log); UPDATE journal_total_log_floor SET floor = (SELECT max(seq) FROM "
       "journal_total_log)"},
      {"its entry removed",
       "INSERT INTO journal_total_log (data_no) VALUES (NULL); DELETE FROM journal_total_log "
       "WHERE seq = (SELECT max(seq) - 1 FROM journal_total_log)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<HostFixture> host = KeptStore();
    host->Exec(std::string("UPDATE journal_account_total SET amount = amount + 1 WHERE ") +
               kOneRow + ";" + c.after);
    OtherRun run(*host);
    EXPECT_EQ(run.Check(), kDisagree);
    EXPECT_EQ(run.ReadAll(), !c.after.empty());
  }
  // A trigger dropped and made again as it was, the damage written between.
  const std::unique_ptr<HostFixture> host = KeptStore();
  std::string trigger;
  {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(host->Db(),
                                 "SELECT sql FROM sqlite_schema WHERE name = "
                                 "'journal_total_log_update'",
                                 -1, &stmt, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    trigger = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
  }
  host->Exec(std::string("DROP TRIGGER journal_total_log_update; UPDATE journal_account_total SET "
                         "amount = amount + 1 WHERE ") +
             kOneRow + ";" + trigger);
  OtherRun run(*host);
  EXPECT_EQ(run.Check(), kDisagree);
  EXPECT_TRUE(run.ReadAll());
}

}  // namespace
}  // namespace taxlink::testing
