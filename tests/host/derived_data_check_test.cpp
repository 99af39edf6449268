// The derived journal data are checked as the host reads them: damage that
// a rebuild from the lines mends is mended (the same data as before), and
// damage it cannot mend, or that a walk meets, fails with the host's code
// naming the data set. No figure ever comes from a damaged chunk or total.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/JournalDerived.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

// Every row of the derived data, one line per row.
std::string DerivedRows(sqlite3* db) {
  std::string rows;
  for (const char* table : {"journal_chunk", "journal_class_total", "journal_account_total",
                            "journal_department_total", "journal_derived_state"}) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY 1, 2";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return "no " + sql;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      rows += table;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        rows += "|" + std::string(text != nullptr ? text : "", sqlite3_column_bytes(stmt, i));
      }
      rows += "\n";
    }
    sqlite3_finalize(stmt);
  }
  return rows;
}

class DerivedDataCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({});
    host_.AddAccount({.accountId = 1, .code = "100", .name = "cash", .classCode = 0x10000000});
    host_.AddAccount({.accountId = 2, .code = "400", .name = "sales", .classCode = 0x40888000});
    for (int month = 4; month <= 5; ++month) {
      host_.AddJournal({.date = 20140010 + month * 100,
                        .debit = {.account = 1, .amount = 1080000},
                        .credit = {.account = 2, .amount = 1000000, .tax = 80000, .taxClass = 1},
                        .rate = 800});
    }
    host_.BuildJournalDerived(1);
    built_ = DerivedRows(host_.Db());
  }

  HostFixture host_{HostStorage::kMemory};
  std::string built_;
};

TEST_F(DerivedDataCheckTest, DamagedDerivedDataAreBuiltAgain) {
  const char* const kDamage[] = {
      "UPDATE journal_chunk SET lines = substr(lines, 1, 100)",
      "UPDATE journal_chunk SET lines = 'text'",
      "DELETE FROM journal_chunk",
      "UPDATE journal_class_total SET lines = lines + 1",
      "UPDATE journal_class_total SET credit_amount = credit_amount + 1",
      "UPDATE journal_class_total SET month_kind = 13 WHERE month_kind = 2",
      "UPDATE journal_account_total SET amount = 'abc' WHERE side = 2",
      "DELETE FROM journal_department_total WHERE side = 1",
  };
  for (const char* damage : kDamage) {
    SCOPED_TRACE(damage);
    host_.Exec(damage);
    EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), 0);
    EXPECT_EQ(DerivedRows(host_.Db()), built_);
  }
}

TEST_F(DerivedDataCheckTest, LinesTheHostNeverWritesFailNamingTheDataSet) {
  const struct {
    const char* damage;
    const char* record;
  } kCases[] = {
      {"UPDATE journal_line SET credit_amount = 'abc' WHERE line_id = 2",
       "data set 1: journal line 2 holds a value the host never writes"},
      {"UPDATE journal_line SET month_kind = 13 WHERE line_id = 1",
       "data set 1: journal line 1 holds a value the host never writes"},
      {"UPDATE journal_line SET debit_account = 1.5 WHERE line_id = 1",
       "data set 1: journal line 1 holds a value the host never writes"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    host_.Exec("SAVEPOINT damage");
    host_.Exec(c.damage);
    EXPECT_EQ(mvhost::JournalDerived::Ensure(host_.Db(), 1), mvhost::kErrDamagedDerived);
    EXPECT_EQ(mvhost::LastDamagedDerivedRecord(), c.record);
    host_.Exec("ROLLBACK TO damage; RELEASE damage");
  }
  // The host's message (the program's texts are Shift_JIS).
  EXPECT_EQ(mvhost::HostErrorText(mvhost::kErrDamagedDerived),
            "会計データの仕訳データが破損しているため、集計できません。\n"
            "data set 1: journal line 1 holds a value the host never writes\n\n"
            "エラーコード: -2015");
}

// A walk that meets a damaged chunk stops with the code; it never hands out
// lines made of the wrong bytes.
TEST_F(DerivedDataCheckTest, AWalkStopsAtADamagedChunk) {
  const struct {
    const char* damage;
    const char* record;
  } kCases[] = {
      {"UPDATE journal_chunk SET lines = substr(lines, 1, 100)",
       "data set 1: chunk 0 holds 100 bytes, not whole packed lines"},
      {"UPDATE journal_chunk SET lines = CAST(lines AS TEXT) || ''",
       "data set 1: chunk 0 holds 176 bytes, not whole packed lines"},
      // The month kind of the first packed line (bytes 13 to 16).
      {"UPDATE journal_chunk SET lines = "
       "CAST(substr(lines, 1, 12) || x'0D000000' || substr(lines, 17) AS BLOB)",
       "data set 1: packed line 1 has month kind 13"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    host_.Exec("SAVEPOINT damage");
    host_.Exec(c.damage);
    mvhost::PackedLineReader reader;
    ASSERT_EQ(reader.Open(host_.Db(), 1), 0);
    const mvhost::PackedLine* line = nullptr;
    EXPECT_EQ(reader.Next(&line), mvhost::kErrDamagedDerived);
    EXPECT_EQ(mvhost::LastDamagedDerivedRecord(), c.record);
    reader.Close();
    host_.Exec("ROLLBACK TO damage; RELEASE damage");
  }
}

}  // namespace
}  // namespace taxlink::testing
