// Another process locks the store across each host call of a run of each
// example data set in turn (the lock is taken as the call starts and let go
// as the next one starts). The run either writes exactly the report of a
// run without the lock, or fails with the host's "in use" message, no report
// and nothing remembered; never other figures, never another message.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "mvhost/lib/HostSession.h"
#include "tests/hosts/FaultTable.h"
#include "tests/support/InProcessRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/SjisLiteral.h"

extern char** environ;

namespace taxlink::testing {
namespace {

const char* const kInUse =
    "会計データは他の処理で使用中です。\nしばらくしてから、もう一度実行してください。"
    "\n\nエラーコード: -3005"_sjis;
// The host's wait for a locked store, shortened for the test's connection.
constexpr int kTestBusyWaitMs = 5;

// The lock-holding process (store_lock_holder beside the test program).
class LockHolder {
 public:
  explicit LockHolder(const std::string& store) {
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    const std::string program = std::string(TAXLINK_BINARY_DIR) + "/faults-test/store_lock_holder";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(store.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = ::fdopen(toChild[1], "w");
    out_ = ::fdopen(fromChild[0], "r");
  }
  ~LockHolder() {
    if (in_ != nullptr) std::fclose(in_);
    if (out_ != nullptr) std::fclose(out_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool started() const { return pid_ > 0 && in_ != nullptr && out_ != nullptr; }
  // True when the store is now held; false when a reader keeps it.
  bool Lock() { return Ask("lock") == "locked"; }
  void Unlock() { Ask("unlock"); }

 private:
  std::string Ask(const char* command) {
    std::fprintf(in_, "%s\n", command);
    std::fflush(in_);
    char answer[64] = {};
    if (std::fgets(answer, sizeof(answer), out_) == nullptr) return "";
    std::string text(answer);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
};

class LockedStoreRunTest : public ::testing::TestWithParam<ExampleDataSet> {
 protected:
  void TearDown() override { hosts::FaultTable::Instance().Observe({}); }
};

TEST_P(LockedStoreRunTest, WritesTheSameReportOrSaysTheStoreIsInUse) {
  ExampleRunHome home(GetParam());
  ASSERT_TRUE(home.ready()) << home.error();
  const InProcessRunEnd clean = home.Run();
  ASSERT_EQ(clean.exitStatus, 0) << clean.standardError;
  ASSERT_EQ(clean.mismatches, 0u) << clean.standardError;
  int32_t status = 0;
  sqlite3* db = mvhost::HostSession::Db(&status);
  ASSERT_NE(db, nullptr);
  sqlite3_busy_timeout(db, kTestBusyWaitMs);

  hosts::FaultTable& calls = hosts::FaultTable::Instance();
  int callCount = 0;
  calls.Observe([&](hosts::FaultPoint) { ++callCount; });
  ASSERT_EQ(home.Run().report, clean.report);

  LockHolder holder(home.home() + "/host.db");
  ASSERT_TRUE(holder.started());
  int written = 0;
  int failed = 0;
  int notLocked = 0;
  for (int locked = 0; locked < callCount; ++locked) {
    int call = 0;
    bool held = false;
    hosts::FaultPoint point{};
    calls.Observe([&](hosts::FaultPoint started) {
      if (held) {
        holder.Unlock();
        held = false;
      }
      if (call++ == locked) {
        point = started;
        held = holder.Lock();
        if (!held) ++notLocked;
      }
    });
    const InProcessRunEnd end = home.Run();
    calls.Observe({});
    if (held) holder.Unlock();
    SCOPED_TRACE("call " + std::to_string(locked) + ": " + std::string(hosts::NameOf(point)));
    if (end.exitStatus == 0) {
      ++written;
      EXPECT_EQ(end.report, clean.report) << end.standardError;
      EXPECT_EQ(end.remembered, clean.remembered);
    } else {
      ++failed;
      // Failed, or the link refused when the lock meets its opening.
      EXPECT_EQ(end.exitStatus, point == hosts::FaultPoint::kAccConnectInitiate ? 3 : 2)
          << end.standardError;
      EXPECT_EQ(end.messages, std::vector<std::string>{Utf8(kInUse)}) << end.standardError;
      EXPECT_EQ(end.report, "");
      EXPECT_EQ(end.remembered, "");
    }
  }
  std::printf("  %d calls: %d written, %d failed; %d with the store held by the run\n", callCount,
              written, failed, notLocked);
}

INSTANTIATE_TEST_SUITE_P(Examples, LockedStoreRunTest, ::testing::ValuesIn(kExampleRuns),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace taxlink::testing
