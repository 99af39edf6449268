// The hand-over of a batch client's run log entry to the batch process and
// the batch's grouped write of the entries.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "mvhost/cli/BatchRunLog.h"
#include "mvhost/cli/BatchWorker.h"
#include "mvhost/cli/ConcurrentCheck.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/RunLog.h"
#include "tests/support/HostToolHome.h"

namespace {

using mvhost::BatchRunLog;
using mvhost::RunLogEntry;

RunLogEntry Written() {
  RunLogEntry entry;
  entry.startedAt = "2026-12-09T05:03:07Z";
  entry.userId = "sakura";
  entry.dataNo = 12;
  entry.edition = "Alto";
  entry.startMonth = 4;
  entry.endMonth = 3;
  entry.method = "journals";
  entry.result = "written";
  // A folder name in Shift_JIS bytes, which is not UTF-8: kept byte for byte.
  entry.reportPath = "/out/\x8f\x57\x8c\x76/C0001.xml";
  entry.reportSha256 = std::string(64, 'a');
  entry.durationMs = 41;
  entry.via = "batch";
  return entry;
}

RunLogEntry NothingTaken() {
  RunLogEntry entry;
  entry.startedAt = "2026-12-09T05:03:08Z";
  entry.edition = "Std";
  entry.result = "no-result";
  entry.via = "batch";
  return entry;
}

void ExpectSame(const RunLogEntry& a, const RunLogEntry& b) {
  EXPECT_EQ(a.startedAt, b.startedAt);
  EXPECT_EQ(a.userId, b.userId);
  EXPECT_EQ(a.dataNo, b.dataNo);
  EXPECT_EQ(a.edition, b.edition);
  EXPECT_EQ(a.startMonth, b.startMonth);
  EXPECT_EQ(a.endMonth, b.endMonth);
  EXPECT_EQ(a.method, b.method);
  EXPECT_EQ(a.result, b.result);
  EXPECT_EQ(a.reportPath, b.reportPath);
  EXPECT_EQ(a.reportSha256, b.reportSha256);
  EXPECT_EQ(a.durationMs, b.durationMs);
  EXPECT_EQ(a.via, b.via);
}

TEST(BatchRunLogTest, HandOverKeepsEveryField) {
  for (const RunLogEntry& entry : {Written(), NothingTaken()}) {
    RunLogEntry read;
    ASSERT_TRUE(BatchRunLog::Parse(BatchRunLog::Text(entry), &read)) << entry.startedAt;
    ExpectSame(read, entry);
  }
}

TEST(BatchRunLogTest, HandOverRefusesWhatIsNotAnEntry) {
  const std::string whole = BatchRunLog::Text(Written());
  std::string badNumber = whole;
  badNumber.replace(badNumber.find(std::string("\0" "41\0", 4)), 4, std::string("\0" "4x\0", 4));
  const std::string cases[] = {
      "",
      whole.substr(0, whole.size() - 1),    // cut short (a worker killed while writing)
      whole + "x",                          // more than one entry's fields
      badNumber,                            // a duration that is no number
      BatchRunLog::Text(RunLogEntry()),     // no start time: no run was started
  };
  for (const std::string& text : cases) {
    RunLogEntry read;
    EXPECT_FALSE(BatchRunLog::Parse(text, &read)) << text.size();
  }
}

// A worker that writes its last client's entry itself says the client
// ended before that write ends; an entry it then cannot write reaches the
// batch before the batch stops waiting for it, whether the worker says it
// is done or dies first.
TEST(BatchRunLogTest, LateEntriesReachTheBatchBeforeItStopsWaiting) {
  const std::string longEntry(3000, 'x');
  for (const bool dies : {false, true}) {
    SCOPED_TRACE(dies ? "the worker dies" : "the worker says it is done");
    mvhost::BatchWorker worker;
    ASSERT_TRUE(worker.Start(
        [&](size_t, const std::string&, bool, bool, mvhost::HostStore&, const mvhost::BatchWorker::Words& words) {
          words.ended();
          words.late("first");
          words.late(longEntry);
          if (dies) ::_exit(3);
        },
        {}));
    ASSERT_TRUE(worker.Hand(0, false, true, true));
    pollfd word{worker.channel(), POLLIN, 0};
    ASSERT_EQ(::poll(&word, 1, 10000), 1);
    bool gone = false;
    ASSERT_TRUE(worker.Ended(&gone));
    std::vector<std::string> late;
    worker.AwaitDone(&late);
    EXPECT_EQ(late, (std::vector<std::string>{"first", longEntry}));
    worker.Finish();
  }
}

class BatchRunLogStoreTest : public taxlink_test::HostToolHome {};

TEST_F(BatchRunLogStoreTest, WritesTheEntriesInOrderOnce) {
  BatchRunLog log;
  log.Add(Written());
  log.Add(NothingTaken());
  std::string error;
  ASSERT_TRUE(log.Write(home_, &error)) << error;
  EXPECT_TRUE(log.empty());
  ASSERT_TRUE(log.Write(home_, &error)) << error;  // nothing written twice

  std::vector<RunLogEntry> entries;
  ASSERT_TRUE(mvhost::ReadRunLog(store_.db(), std::nullopt, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), 2u);
  ExpectSame(entries[0], Written());
  ExpectSame(entries[1], NothingTaken());
}

// A check told to keep later keeps nothing itself, whether the program
// reads the store or not: its findings go in after the program in one
// commit with the client's run log entry. Findings already kept leave
// nothing to keep, and the entry to the batch.
TEST_F(BatchRunLogStoreTest, EntryGoesInWithTheFindingsKeptAfterTheProgram) {
  int32_t dataNo = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(
      store_, std::string(TAXLINK_SOURCE_DIR) + "/examples/simplified-corporation/midori.json",
      false, &dataNo, &error))
      << error;
  const std::string kept =
      "SELECT count(*) FROM check_findings WHERE data_no = " + std::to_string(dataNo);
  {
    // A check that keeps its findings itself makes their tables.
    mvhost::ConcurrentCheck first;
    first.Start(home_, dataNo, 4, 3, 10);
    first.Wait();
  }
  ASSERT_EQ(QueryInt(kept), 1);
  struct Case {
    const char* name;
    bool programReads;
    bool findingsKept;  // before the check
  };
  for (const Case& c : {Case{"the store is free", false, false},
                        Case{"the program reads", true, false},
                        Case{"the findings are kept already", false, true}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(store_.Exec(c.findingsKept ? "DELETE FROM run_log;"
                                           : "DELETE FROM check_findings; DELETE FROM run_log;",
                            &error))
        << error;
    sqlite3* program = nullptr;
    ASSERT_EQ(sqlite3_open((home_ + "/host.db").c_str(), &program), SQLITE_OK);
    if (c.programReads) {
      ASSERT_EQ(sqlite3_exec(program, "BEGIN; SELECT count(*) FROM data_set;", nullptr, nullptr,
                             nullptr),
                SQLITE_OK);
    }
    mvhost::ConcurrentCheck check;
    check.KeepLater();
    check.Start(home_, dataNo, 4, 3, 10);
    check.Wait();
    sqlite3_exec(program, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(program);
    EXPECT_EQ(QueryInt(kept), c.findingsKept ? 1 : 0);
    const bool logged = check.KeepWith(
        [&] { return mvhost::AppendRunLog(check.store().db(), Written(), &error); });
    EXPECT_EQ(logged, !c.findingsKept);
    std::vector<RunLogEntry> entries;
    ASSERT_TRUE(mvhost::ReadRunLog(store_.db(), std::nullopt, &entries, &error)) << error;
    EXPECT_EQ(entries.size(), c.findingsKept ? 0u : 1u);
    EXPECT_EQ(QueryInt(kept), 1);
  }
}

}  // namespace
