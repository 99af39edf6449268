// The deadline of the runs of the real programs: a run that outlasts it is
// killed with every process of its group, and a run that ends in time is
// left alone.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "tests/support/RunDeadline.h"

namespace taxlink::testing {
namespace {

struct Ended {
  int status = 0;
  bool expired = false;
  double took = 0;  // seconds
};

double Now() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs `sh -c script` in a process group of its own under a deadline.
Ended RunShell(const std::string& script, int seconds) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  pid_t pid = 0;
  const double start = Now();
  const int spawned =
      posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char* const*>(argv), environ);
  posix_spawnattr_destroy(&attributes);
  EXPECT_EQ(spawned, 0);
  Ended ended;
  RunDeadline deadline(pid, seconds);
  ::waitpid(pid, &ended.status, 0);
  deadline.Ended();
  ended.expired = deadline.Expired();
  ended.took = Now() - start;
  return ended;
}

TEST(RunDeadlineTest, KillsTheWholeGroupOfAHungRun) {
  // The shell waits for its child: the child must be killed too, or the
  // wait would last the child's 60 s.
  const std::string pidFile =
      ::testing::TempDir() + "/deadline-child-" + std::to_string(::getpid());
  Ended ended = RunShell("sleep 60 & echo $! > " + pidFile + "; wait", 1);
  EXPECT_TRUE(ended.expired);
  ASSERT_TRUE(WIFSIGNALED(ended.status));
  EXPECT_EQ(WTERMSIG(ended.status), SIGKILL);
  EXPECT_LT(ended.took, 30);
  FILE* file = std::fopen(pidFile.c_str(), "r");
  ASSERT_NE(file, nullptr);
  int child = 0;
  ASSERT_EQ(std::fscanf(file, "%d", &child), 1);
  std::fclose(file);
  std::remove(pidFile.c_str());
  // Killed and reaped by init, or at most a zombie on its way there.
  for (int i = 0; i < 100 && ::kill(child, 0) == 0; ++i) ::usleep(20 * 1000);
  std::string state;
  if (FILE* stat = std::fopen(("/proc/" + std::to_string(child) + "/stat").c_str(), "r")) {
    char buffer[256] = {};
    if (std::fgets(buffer, sizeof(buffer), stat) != nullptr) state = buffer;
    std::fclose(stat);
  }
  EXPECT_TRUE(state.empty() || state.find(") Z") != std::string::npos) << state;
}

TEST(RunDeadlineTest, ARunEndingInTimeIsLeftAlone) {
  Ended ended = RunShell("exit 3", 60);
  EXPECT_FALSE(ended.expired);
  ASSERT_TRUE(WIFEXITED(ended.status));
  EXPECT_EQ(WEXITSTATUS(ended.status), 3);
  EXPECT_LT(ended.took, 30);
}

}  // namespace
}  // namespace taxlink::testing
