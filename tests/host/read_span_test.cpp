// A read span keeps one transaction over many services: it must show each of
// them one snapshot, let another connection's write through only after it
// ends, and never stay open under a message, the host's or the program's.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "app/HostReadSpan.h"
#include "host/ClAccConnect.h"
#include "host/ClMsgMgr.h"
#include "host/ClRuleShiwake.h"
#include "mvhost/lib/HostSession.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/UserWaitGuard.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

// Whether the services' connection holds a transaction.
bool ServicesInTransaction() {
  sqlite3* db = mvhost::HostSession::Db(nullptr);
  return db != nullptr && sqlite3_get_autocommit(db) == 0;
}

// A front end that notes, at each message box, whether the services'
// connection held a transaction under it.
class LockWatchingUi : public platform::UserInterface {
 public:
  int MessageBox(HWND, std::string_view, std::string_view, uint32_t) override {
    heldUnderMessage.push_back(ServicesInTransaction());
    return IDOK;
  }
  int RunModal(platform::Dialog&) override { return IDCANCEL; }
  void ModelessChanged(platform::Dialog&) override {}
  void ModelessDestroyed(platform::Dialog&) override {}
  bool GetSaveFileName(platform::SaveFileRequest&) override { return false; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  std::vector<bool> heldUnderMessage;
};

class ReadSpanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({});
    host_.SelectForUser("U01", 1);
    for (int64_t i = 1; i <= 30; ++i) {
      host_.AddJournal({.date = 20140410,
                        .debit = {.account = 1, .amount = i * 1000, .tax = i * 80},
                        .credit = {.account = 2, .amount = i * 1000, .tax = i * 80},
                        .rate = 800});
    }
    host_.BuildJournalDerived(1);
  }
  void TearDown() override { ClAccConnect::Inst()->EndReadSpan(); }

  // A rule object bound and counted, as a pass of the program does.
  static int32_t Lines() {
    ClRuleShiwake rule;
    int32_t lines = -1;
    EXPECT_EQ(rule.SetCurDataID("D001"), 0);
    EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &lines), 0);
    return lines;
  }

  // Another run's write, refused at once instead of waited for; the SQLite
  // result of its commit.
  int OtherRunWrites(const std::string& sql) {
    sqlite3* other = host_.Db();
    sqlite3_busy_timeout(other, 0);
    EXPECT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    const int committed = sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    if (committed != SQLITE_OK) sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(other, 5000);
    return committed;
  }

  int ChangedLines() {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(host_.Db(), "SELECT count(*) FROM journal_line_change", -1, &stmt, nullptr);
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
  }

  static constexpr const char* kDeleteLine3 = "DELETE FROM journal_line WHERE line_id = 3";
  HostFixture host_{HostStorage::kHome};
};

TEST_F(ReadSpanTest, ASpanShowsOneSnapshotAndLetsWritesInOnlyAfterItEnds) {
  // A line changed before the run: its first service folds it, a write of its
  // own inside the span, and the span goes on after it.
  ASSERT_EQ(OtherRunWrites("UPDATE journal_line SET debit_amount = 1 WHERE line_id = 5"),
            SQLITE_OK);
  ASSERT_GT(ChangedLines(), 0);
  ClAccConnect::Inst()->BeginReadSpan();
  EXPECT_EQ(Lines(), 30);
  EXPECT_EQ(ChangedLines(), 0) << "the service did not fold the changed line";
  EXPECT_EQ(Lines(), 30);
  EXPECT_TRUE(ServicesInTransaction()) << "the span's transaction ended with the service";
  // The other run's commit cannot land in the middle of the span.
  EXPECT_EQ(OtherRunWrites(kDeleteLine3), SQLITE_BUSY);
  EXPECT_EQ(Lines(), 30);
  ClAccConnect::Inst()->EndReadSpan();
  EXPECT_FALSE(ServicesInTransaction());

  // A write between two spans is seen by the next.
  ASSERT_EQ(OtherRunWrites(kDeleteLine3), SQLITE_OK);
  ClAccConnect::Inst()->BeginReadSpan();
  EXPECT_EQ(Lines(), 29);
  EXPECT_TRUE(ServicesInTransaction());
  ClAccConnect::Inst()->EndReadSpan();
  EXPECT_EQ(Lines(), 29);
  EXPECT_FALSE(ServicesInTransaction()) << "a service outside a span left its transaction open";
}

TEST_F(ReadSpanTest, NoMessageIsShownInsideTheSpan) {
  struct Case {
    const char* name;
    bool guarded;  // behind the front end's guard, as Ui() chooses it
    void (*show)();
  };
  const Case cases[] = {
      {"the host's message", false,
       [] { ClAccConnect::Inst()->DispMsg(0, "notice", nullptr, MB_OK); }},
      {"the host's fatal message", false,
       [] { ClMsgMgr::Inst()->CheckFatalErrorWithMsg(-3005, 0, 0, 0); }},
      {"the program's own message", true,
       [] { platform::CurrentUi()->MessageBox(0, "notice", "caption", MB_OK); }},
  };
  for (const Case& c : cases) {
    auto watching = std::make_unique<LockWatchingUi>();
    LockWatchingUi& ui = *watching;
    std::unique_ptr<platform::UserInterface> shown = std::move(watching);
    if (c.guarded) shown = std::make_unique<platform::UserWaitGuard>(std::move(shown));
    std::unique_ptr<platform::UserInterface> previous = platform::SetUi(std::move(shown));
    ClAccConnect::Inst()->BeginReadSpan();
    EXPECT_EQ(Lines(), 30);
    ASSERT_TRUE(ServicesInTransaction());
    c.show();
    ASSERT_EQ(ui.heldUnderMessage.size(), 1U) << c.name;
    EXPECT_FALSE(ui.heldUnderMessage[0]) << c.name << " shown inside the span";
    // The span is over: a service after the message keeps nothing open.
    EXPECT_EQ(Lines(), 30);
    EXPECT_FALSE(ServicesInTransaction()) << c.name;
    platform::SetUi(std::move(previous));
  }
}

// A span ended before a message and resumed after it holds one transaction
// again, until its end; resuming an open span keeps it as it is.
TEST_F(ReadSpanTest, AResumedSpanHoldsOneTransactionAgain) {
  std::unique_ptr<platform::UserInterface> previous = platform::SetUi(
      std::make_unique<platform::UserWaitGuard>(std::make_unique<LockWatchingUi>()));
  const struct {
    const char* name;
    void (*end)(HostReadSpan&);
  } cases[] = {
      {"ended", [](HostReadSpan& span) { span.End(); }},
      {"a message", [](HostReadSpan&) { platform::CurrentUi()->MessageBox(0, "n", "c", MB_OK); }},
      {"still open", [](HostReadSpan&) {}},
  };
  for (const auto& c : cases) {
    HostReadSpan span;
    EXPECT_EQ(Lines(), 30);
    c.end(span);
    span.Resume();
    EXPECT_EQ(Lines(), 30);
    EXPECT_TRUE(ServicesInTransaction()) << c.name;
    EXPECT_EQ(OtherRunWrites(kDeleteLine3), SQLITE_BUSY) << c.name;
    span.End();
    EXPECT_FALSE(ServicesInTransaction()) << c.name;
  }
  platform::SetUi(std::move(previous));
}

}  // namespace
}  // namespace taxlink::testing
