// `mvhost launch` end to end: the mvhost executable starts this test program
// as a fake TaxLink program, which talks to the host window the way the real
// program does (platform/hostwindow/HostWindow.h).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/hostwindow/HostWindow.h"
#include "platform/text/Encoding.h"
#include "tests/support/SjisLiteral.h"

namespace {

// The fake program: runs before main when MVHOST_FAKE_PROGRAM names a
// behaviour. It records its argument and environment in MVHOST_FAKE_RECORD,
// then sends what the behaviour asks for to the window of its command line.
int RunFakeProgram(const char* mode, int argc, char** argv) {
  const char* record = std::getenv("MVHOST_FAKE_RECORD");
  if (record != nullptr) {
    std::ofstream out(record, std::ios::binary);
    const char* dir = std::getenv("TAXLINK_WINDOWS_DIR");
    const char* home = std::getenv("MVHOST_HOME");
    out << argc << "\n"
        << (argc > 1 ? argv[1] : "") << "\n"
        << (dir ? dir : "") << "\n"
        << (home ? home : "") << "\n";
  }
  unsigned long window = 0, message = 0;
  int functionId = 0;
  if (argc < 2 || std::sscanf(argv[1], "%lu,%lu,%d,", &window, &message, &functionId) != 3) {
    return 9;
  }
  HWND hwnd = static_cast<HWND>(window);
  std::string m(mode);
  if (m == "silent") return 0;
  platform::EnableWindow(hwnd, false);
  if (m == "othermessage") {
    platform::PostMessage(hwnd, static_cast<uint32_t>(message) - 1, functionId, 0);
    return 0;
  }
  if (m == "killed") ::raise(SIGKILL);
  int32_t result = m == "written" ? 0 : m == "stopped" ? 1 : m == "failed" ? 2 : 77;
  platform::SetForegroundWindow(hwnd);
  platform::EnableWindow(hwnd, true);
  platform::PostMessage(hwnd, static_cast<uint32_t>(message), functionId, result);
  platform::EnableWindow(hwnd, true);
  return m == "failed" ? 5 : 0;
}

[[maybe_unused]] const bool kFakeProgram = [] {
  const char* mode = std::getenv("MVHOST_FAKE_PROGRAM");
  if (mode == nullptr) return false;
  std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  std::vector<char*> argv;
  argv.reserve(args.size());
  for (std::string& a : args) argv.push_back(a.data());
  std::_Exit(RunFakeProgram(mode, static_cast<int>(argv.size()), argv.data()));
}();

std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

std::string Mvhost() { return std::string(TAXLINK_BINARY_DIR) + "/bin/mvhost"; }

struct CommandRun {
  int exitCode;
  std::string output;
};

// Runs a shell command line with the fake program's settings in the
// environment; standard error joins standard output.
CommandRun RunCommand(const std::string& command, const std::string& mode,
                      const std::string& record) {
  ::setenv("MVHOST_FAKE_PROGRAM", mode.c_str(), 1);
  ::setenv("MVHOST_FAKE_RECORD", record.c_str(), 1);
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  CommandRun run{-1, ""};
  if (pipe != nullptr) {
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::unsetenv("MVHOST_FAKE_PROGRAM");
  ::unsetenv("MVHOST_FAKE_RECORD");
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CliLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::access(Mvhost().c_str(), X_OK), 0) << "build the mvhost target first";
    record_ = (std::filesystem::temp_directory_path() /
               ("mvhost-fake-" + std::to_string(::getpid()) + ".txt"))
                  .string();
  }
  void TearDown() override { std::remove(record_.c_str()); }

  std::vector<std::string> Record() {
    std::ifstream in(record_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string record_;
};

struct LaunchCase {
  const char* mode;
  int exitCode;
  const char* window;  // the lines after "launch ...", up to the exit status
  const char* tail;    // the exit status and result lines
};

const LaunchCase kCases[] = {
    {"written", 0, "ENABLE 0\nFOREGROUND\nENABLE 1\nPOST 1025 7 0\nENABLE 1\n",
     "program exited with status 0\nresult: 0 written\n"},
    {"stopped", 1, "ENABLE 0\nFOREGROUND\nENABLE 1\nPOST 1025 7 1\nENABLE 1\n",
     "program exited with status 0\nresult: 1 stopped\n"},
    {"failed", 2, "ENABLE 0\nFOREGROUND\nENABLE 1\nPOST 1025 7 2\nENABLE 1\n",
     "program exited with status 5\nresult: 2 failed\n"},
    {"silent", 3, "", "program exited with status 0\nresult: no notification\n"},
    {"othermessage", 3, "ENABLE 0\nPOST 1024 7 0\n",
     "program exited with status 0\nwindow enabled again by the host\nresult: no notification\n"},
    {"killed", 3, "ENABLE 0\n",
     "program ended by signal 9\nwindow enabled again by the host\n"
     "result: none (the program ended by signal 9)\n"},
    {"unexpected", 2, "ENABLE 0\nFOREGROUND\nENABLE 1\nPOST 1025 7 77\nENABLE 1\n",
     "program exited with status 0\nresult: 77 unknown\n"},
};

class CliLaunchModeTest : public CliLaunchTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(CliLaunchModeTest, PrintsNotificationsAndReturnsTheResult) {
  const LaunchCase& c = GetParam();
  CommandRun run = RunCommand(Mvhost() + " launch Alto --function-id 7 --program " + SelfPath(),
                              c.mode, record_);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
  std::vector<std::string> record = Record();
  ASSERT_EQ(record.size(), 4u) << run.output;
  EXPECT_EQ(record[0], "2");  // one argument
  std::string argument = record[1];
  EXPECT_EQ(argument.substr(argument.find(',')), ",1025,7,");
  EXPECT_EQ(run.output, "launch " + SelfPath() + " " + argument + "\n" + c.window + c.tail);
  // The window folder was private to the launch and is gone.
  EXPECT_EQ(record[2].find(std::filesystem::temp_directory_path().string() + "/mvhost-window-"),
            0u);
  EXPECT_FALSE(std::filesystem::exists(record[2]));
}

INSTANTIATE_TEST_SUITE_P(Modes, CliLaunchModeTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.mode); });

// The window handle is the launcher's own, the argument carries the path text
// in Shift_JIS, and the home reaches the program.
TEST_F(CliLaunchTest, ArgumentHandleAndHome) {
  std::string pathUtf8 = platform::Cp932ToUtf8("D:\\出力\\tax,1.xml"_sjis);
  CommandRun run = RunCommand(Mvhost() + " --home /tmp/some-home launch Std --program " +
                                  SelfPath() + " --path '" + pathUtf8 + "'",
                              "written", record_);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::vector<std::string> record = Record();
  ASSERT_EQ(record.size(), 4u);
  std::string argument = record[1];
  size_t comma = argument.find(',');
  ASSERT_NE(comma, std::string::npos);
  unsigned long handle = std::stoul(argument.substr(0, comma));
  EXPECT_LE(handle, 0x7FFFFFFFul);
  EXPECT_EQ(argument.substr(comma), std::string(",1025,1,") + "D:\\出力\\tax,1.xml"_sjis);
  EXPECT_EQ(record[3], "/tmp/some-home");
  std::vector<std::string> lines = Lines(run.output);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "launch " + SelfPath() + " " + platform::Cp932ToUtf8(argument));
  EXPECT_NE(run.output.find("POST 1025 1 0\n"), std::string::npos);
}

TEST_F(CliLaunchTest, RefusesWhatCannotStart) {
  struct {
    std::string args;
    int exitCode;
    std::string output;
  } cases[] = {
      {"launch Gold", 4, "mvhost: unknown edition Gold (Alto, Std, Serena)\n"},
      {"launch Alto --program /nonexistent/TaxLinkAlto", 4,
       "mvhost: no program /nonexistent/TaxLinkAlto\n"},
  };
  for (const auto& c : cases) {
    CommandRun run = RunCommand(Mvhost() + " " + c.args, "written", record_);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
    EXPECT_EQ(run.output, c.output) << c.args;
  }
  CommandRun run = RunCommand(Mvhost() + " launch Alto --function-id 40000 --program " + SelfPath(),
                              "written", record_);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(record_)) << "the program must not have started";
}

}  // namespace
