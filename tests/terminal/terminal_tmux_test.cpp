// The terminal front end end to end: TaxLinkAlto started by mvhost launch in
// a tmux pane of 80 x 25, read with capture-pane and answered with
// send-keys, as a person at a terminal would.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/text/Encoding.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/SjisLiteral.h"

namespace {

using taxlink::testing::BinaryFolder;
using taxlink::testing::ReadFileBytes;

// The screen is polled every 50 ms for up to 30 seconds.
constexpr int kPolls = 600;
constexpr useconds_t kPollMicroseconds = 50000;

bool Shows(const std::string& utf8Screen, const std::string& cp932Text) {
  return utf8Screen.find(platform::Cp932ToUtf8(cp932Text)) != std::string::npos;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a command line; its standard output, or nothing when it failed.
bool RunCommand(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return false;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  int status = ::pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One pane of a private tmux server, killed with the object.
class TmuxPane {
 public:
  TmuxPane() : socket_("taxlink-test-" + std::to_string(::getpid())) {}
  ~TmuxPane() {
    RunCommand(Tmux("kill-server"));
    if (!socketPath_.empty()) ::unlink(socketPath_.c_str());  // the server leaves it
  }

  static bool Available() { return RunCommand("tmux -V"); }

  bool Start(const std::string& shellCommand, std::string* error) {
    if (!RunCommand(Tmux("new-session -d -x 80 -y 25 -s run " + Quote(shellCommand)), error)) {
      return false;
    }
    socketPath_ = Format("#{socket_path}");
    return true;
  }
  std::string Screen() {
    std::string screen;
    RunCommand(Tmux("capture-pane -p -t run"), &screen);
    return screen;
  }
  std::string Format(const std::string& format) {
    std::string value;
    RunCommand(Tmux("display-message -p -t run " + Quote(format)), &value);
    return value.substr(0, value.find('\n'));
  }
  void Keys(const std::string& keys) { RunCommand(Tmux("send-keys -t run " + keys)); }
  void Type(const std::string& text) { RunCommand(Tmux("send-keys -t run -l " + Quote(text))); }

  // Polls the screen (UTF-8) until it holds every text (literals of this
  // file, Shift_JIS); the last screen read.
  bool WaitFor(const std::vector<std::string>& texts, std::string* screen = nullptr) {
    std::string last;
    for (int poll = 0; poll < kPolls; ++poll, ::usleep(kPollMicroseconds)) {
      last = Screen();
      bool all = true;
      for (const std::string& text : texts) all = all && Shows(last, text);
      if (all) break;
      last.clear();
    }
    if (screen != nullptr) *screen = last.empty() ? Screen() : last;
    return !last.empty();
  }

 private:
  std::string Tmux(const std::string& arguments) const {
    return "tmux -u -L " + socket_ + " -f /dev/null " + arguments;
  }
  std::string socket_;
  std::string socketPath_;
};

// A host home with the example standard-taxation corporation selected, and a
// copy of TaxLinkAlto with its definition file.
class TerminalRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TmuxPane::Available())
      GTEST_SKIP() << "tmux is not installed (scripts/install-deps installs it)";
    home_ = program_.workFolder() + "/home";
    std::string mvhost =
        "MVHOST_HOME=" + Quote(home_) + " " + Quote(BinaryFolder() + "/mvhost") + " ";
    std::string examples = std::string(TAXLINK_SOURCE_DIR) + "/examples/standard-corporation/";
    ASSERT_TRUE(RunCommand(mvhost + "init") &&
                RunCommand(mvhost + "import " + Quote(examples + "sakura.json")) &&
                RunCommand(mvhost + "select sakura 1") &&
                RunCommand(mvhost + "state current_user sakura"));
  }

  // The shell line of the pane: the run between two readings of the
  // terminal's modes, then its exit status, then a pause to be read.
  std::string PaneCommand(const std::string& run) {
    std::string work = Quote(program_.workFolder());
    return "cd " + work +
           " && mkdir -p tmp && stty -g > stty-before; env -u TAXLINK_UI_SCRIPT "
           "TAXLINK_UI=terminal " +
           "LANG=C.UTF-8 LC_ALL= TAXLINK_DRIVES=C=/ TMPDIR=" + work +
           "/tmp MVHOST_HOME=" + Quote(home_) + " TAXLINK_UI_TRANSCRIPT=transcript.jsonl " + run +
           "; echo run-exit=$?; stty -g > stty-after; sleep 300";
  }
  std::string Launch() {
    return Quote(BinaryFolder() + "/mvhost") + " launch Alto --program " +
           Quote(program_.programFolder() + "/TaxLinkAlto");
  }

  // After the run: the shell's screen again, with the modes it had.
  void ExpectTerminalRestored(TmuxPane& pane, const std::string& exitLine) {
    std::string screen;
    ASSERT_TRUE(pane.WaitFor({exitLine}, &screen)) << screen;
    EXPECT_EQ(pane.Format("#{alternate_on}"), "0");
    EXPECT_EQ(pane.Format("#{cursor_flag}"), "1");
    ::usleep(200000);  // stty-after is written right after the exit line
    EXPECT_EQ(ReadFileBytes(program_.workFolder() + "/stty-after"),
              ReadFileBytes(program_.workFolder() + "/stty-before"));
    EXPECT_FALSE(Shows(screen, "事業所名"_sjis)) << screen;
  }

  // mvhost launch in the pane, until the dialog of the example data set shows.
  void StartLaunch(TmuxPane& pane, std::string* screen) {
    std::string error;
    ASSERT_TRUE(pane.Start(PaneCommand(Launch()), &error)) << error;
    ASSERT_TRUE(pane.WaitFor({"株式会社さくら商事"_sjis}, screen)) << *screen;
  }
  // Esc, the cancel message answered, the run stopped and the terminal back.
  void CancelAndExpectStopped(TmuxPane& pane) {
    std::string screen;
    pane.Keys("Escape");
    ASSERT_TRUE(pane.WaitFor({"｢消費税｣の集計を中止します。"_sjis}, &screen)) << screen;
    pane.Keys("Enter");
    ExpectTerminalRestored(pane, "run-exit=1");
  }

  // Another example data set, selected and current instead.
  void UseDataSet(const std::string& file, const std::string& user, int number) {
    std::string mvhost =
        "MVHOST_HOME=" + Quote(home_) + " " + Quote(BinaryFolder() + "/mvhost") + " ";
    ASSERT_TRUE(RunCommand(mvhost + "import " +
                           Quote(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + file)) &&
                RunCommand(mvhost + "select " + user + " " + std::to_string(number)) &&
                RunCommand(mvhost + "state current_user " + user));
  }

  // The dialog 130 line of the transcript.
  nlohmann::json ConditionsEntry() {
    nlohmann::json dialog;
    for (const nlohmann::json& entry : Transcript()) {
      if (entry["event"] == "dialog" && entry["id"] == 130) dialog = entry;
    }
    return dialog;
  }

  // Window folders that mvhost launch left in the pane's TMPDIR.
  std::vector<std::string> LeftWindowFolders() {
    std::string listing;
    RunCommand("ls " + Quote(program_.workFolder() + "/tmp"), &listing);
    std::vector<std::string> left;
    std::istringstream in(listing);
    for (std::string name; std::getline(in, name);) {
      if (name.rfind("mvhost-window-", 0) == 0) left.push_back(name);
    }
    return left;
  }

  std::vector<nlohmann::json> Transcript() {
    std::vector<nlohmann::json> entries;
    std::istringstream in(ReadFileBytes(program_.workFolder() + "/transcript.jsonl"));
    for (std::string line; std::getline(in, line);) entries.push_back(nlohmann::json::parse(line));
    return entries;
  }

  taxlink::testing::ProgramRun program_;
  std::string home_;
};

TEST_F(TerminalRunTest, APersonRunsTheAggregationFromTheKeyboard) {
  TmuxPane pane;
  std::string error;
  ASSERT_TRUE(pane.Start(PaneCommand(Launch()), &error)) << error;
  std::string screen;
  ASSERT_TRUE(
      pane.WaitFor({"事業所名"_sjis, "会計期間"_sjis, "消費税申告区分"_sjis, "集計期間"_sjis,
                    "実行(F12)"_sjis, "キャンセル(Esc)"_sjis, "株式会社さくら商事"_sjis, "Ctrl+R"},
                   &screen))
      << screen;

  std::string report = program_.workFolder() + "/out/terminal.xml";
  std::string windowsReport = taxlink::testing::WindowsPathOf(report);
  pane.Keys("M-s");  // the start month, its text selected
  pane.Type("5");
  pane.Keys("Tab");
  pane.Type("9");
  pane.Keys("Tab");
  pane.Type(windowsReport);
  ASSERT_TRUE(pane.WaitFor({windowsReport}, &screen)) << screen;
  pane.Keys("F12");
  ASSERT_TRUE(pane.WaitFor({"指定されたフォルダは存在しません。"_sjis, "はい(Y)"_sjis}, &screen))
      << screen;
  pane.Keys("y");
  ASSERT_TRUE(pane.WaitFor({"消費税情報の出力が終了しました。"_sjis}, &screen)) << screen;
  pane.Keys("Enter");
  ExpectTerminalRestored(pane, "run-exit=0");
  // What mvhost saw: the program's own exit (a sanitizer report would change it).
  EXPECT_TRUE(pane.WaitFor({"program exited with status 0", "result: 0 written"}));

  EXPECT_NE(ReadFileBytes(report).find("<REPORT"), std::string::npos);
  nlohmann::json dialog;
  for (const nlohmann::json& entry : Transcript()) {
    if (entry["event"] == "dialog" && entry["id"] == 130) dialog = entry;
  }
  ASSERT_FALSE(dialog.is_null());
  EXPECT_EQ(dialog["result"], 1005);
  EXPECT_EQ(dialog["fields"]["1014"]["text"], "5");
  EXPECT_EQ(dialog["fields"]["1016"]["text"], "9");
  EXPECT_EQ(dialog["fields"]["1008"]["text"], windowsReport);
}

TEST_F(TerminalRunTest, EscCancelsAndTheTerminalIsGivenBack) {
  TmuxPane pane;
  std::string error;
  ASSERT_TRUE(pane.Start(PaneCommand(Launch()), &error)) << error;
  std::string screen;
  ASSERT_TRUE(pane.WaitFor({"株式会社さくら商事"_sjis}, &screen)) << screen;
  // Ctrl+R runs the checks as F12 does: a month out of range is refused.
  pane.Keys("M-s");
  pane.Type("13");
  pane.Keys("C-r");
  ASSERT_TRUE(pane.WaitFor({"集計期間に誤りがあります。"_sjis}, &screen)) << screen;
  pane.Keys("Enter");
  pane.Keys("Escape");
  ASSERT_TRUE(pane.WaitFor({"｢消費税｣の集計を中止します。"_sjis}, &screen)) << screen;
  pane.Keys("Enter");
  ExpectTerminalRestored(pane, "run-exit=1");
  EXPECT_TRUE(pane.WaitFor({"program exited with status 1", "result: 1 stopped"}));
}

TEST_F(TerminalRunTest, SigtermGivesTheTerminalBack) {
  TmuxPane pane;
  std::string error;
  // The program started directly, so that its process id is known.
  std::string pidFile = program_.workFolder() + "/program.pid";
  std::string run = "sh -c " + Quote("echo $$ > " + Quote(pidFile) + "; exec " +
                                     Quote(program_.programFolder() + "/TaxLinkAlto"));
  ASSERT_TRUE(pane.Start(PaneCommand(run), &error)) << error;
  std::string screen;
  ASSERT_TRUE(pane.WaitFor({"株式会社さくら商事"_sjis}, &screen)) << screen;
  pid_t pid = static_cast<pid_t>(std::stol(ReadFileBytes(pidFile)));
  ASSERT_GT(pid, 1);
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  ExpectTerminalRestored(pane, "run-exit=143");
}

// Where the method is fixed (no saved return) the start month had the
// focus without a selection: "1" made "11". Coming back to a month by its
// mnemonic selects it too.
TEST_F(TerminalRunTest, TypingReplacesTheMonthWhereTheMethodIsFixed) {
  UseDataSet("individual/aoba.json", "aoba", 3);
  TmuxPane pane;
  std::string error;
  ASSERT_TRUE(pane.Start(PaneCommand(Launch()), &error)) << error;
  std::string screen;
  ASSERT_TRUE(pane.WaitFor({"事業所名"_sjis, "集計期間"_sjis, "Ctrl+R"}, &screen)) << screen;
  std::string report = program_.workFolder() + "/out/aoba.xml";
  pane.Type("2");
  ASSERT_TRUE(pane.WaitFor({"     2 月度(S)"_sjis}, &screen)) << screen;
  pane.Keys("M-s M-e M-s");
  pane.Type("3");
  pane.Keys("Enter Enter");  // to the path, its text selected
  pane.Type(taxlink::testing::WindowsPathOf(report));
  pane.Keys("F12");
  ASSERT_TRUE(pane.WaitFor({"指定されたフォルダは存在しません。"_sjis}, &screen)) << screen;
  pane.Keys("y");
  ASSERT_TRUE(pane.WaitFor({"消費税情報の出力が終了しました。"_sjis}, &screen)) << screen;
  pane.Keys("Enter");
  ExpectTerminalRestored(pane, "run-exit=0");
  nlohmann::json dialog = ConditionsEntry();
  ASSERT_FALSE(dialog.is_null());
  EXPECT_EQ(dialog["fields"]["1014"]["text"], "3");
  EXPECT_EQ(dialog["fields"]["1016"]["text"], "12");
  EXPECT_EQ(dialog["fields"]["1008"]["text"], taxlink::testing::WindowsPathOf(report));
}

// F12 split over a slow link (Esc, then the rest 60 ms later) was taken for
// Esc and cancelled the run.
TEST_F(TerminalRunTest, ASplitF12RunsTheChecksInsteadOfCancelling) {
  TmuxPane pane;
  std::string screen;
  StartLaunch(pane, &screen);
  pane.Keys("M-s");
  pane.Type("13");
  pane.Keys("Escape");
  ::usleep(60000);
  pane.Type("[24~");
  ASSERT_TRUE(pane.WaitFor({"集計期間に誤りがあります。"_sjis}, &screen)) << screen;
  EXPECT_FALSE(Shows(screen, "｢消費税｣の集計を中止します。"_sjis)) << screen;
  pane.Keys("Enter");
  CancelAndExpectStopped(pane);
}

// An Enter typed on the heels of F12 dismissed the refusal unseen.
TEST_F(TerminalRunTest, KeysTypedAheadDoNotAnswerTheNextMessageBox) {
  TmuxPane pane;
  std::string screen;
  StartLaunch(pane, &screen);
  pane.Keys("M-s");
  pane.Type("13");
  pane.Keys("F12 Enter");
  ASSERT_TRUE(pane.WaitFor({"集計期間に誤りがあります。"_sjis}, &screen)) << screen;
  ::usleep(500000);
  EXPECT_TRUE(Shows(pane.Screen(), "集計期間に誤りがあります。"_sjis))
      << "the refusal was answered by type-ahead";
  pane.Keys("Enter");
  CancelAndExpectStopped(pane);
}

// The host window's messages were printed over the dialog, and the
// program's own line on standard error vanished with the full screen.
TEST_F(TerminalRunTest, HostMessagesAndErrorLinesComeAfterTheTerminalIsReleased) {
  TmuxPane pane;
  std::string screen;
  StartLaunch(pane, &screen);
  ::usleep(300000);
  EXPECT_FALSE(pane.Screen().find("ENABLE 0") != std::string::npos) << pane.Screen();
  CancelAndExpectStopped(pane);
  EXPECT_TRUE(pane.WaitFor({"taxlink: the conditions dialog ended without a run", "ENABLE 0",
                            "POST 1025 1 1", "result: 1 stopped"},
                           &screen))
      << screen;
}

// Ctrl+C under mvhost launch ended the host too: no result line, and its
// window folder stayed behind (also when the terminal went away).
TEST_F(TerminalRunTest, CtrlCEndsTheProgramAndTheHostSaysSo) {
  {
    TmuxPane pane;
    std::string screen;
    StartLaunch(pane, &screen);
    pane.Keys("C-c");
    ExpectTerminalRestored(pane, "run-exit=3");
    EXPECT_TRUE(pane.WaitFor({"result: none (the program ended by signal 2)"}, &screen)) << screen;
    EXPECT_TRUE(LeftWindowFolders().empty());
  }
  {
    TmuxPane pane;
    std::string screen;
    StartLaunch(pane, &screen);
    ASSERT_FALSE(LeftWindowFolders().empty());
  }  // the session is killed
  for (int poll = 0; poll < 100 && !LeftWindowFolders().empty(); ++poll) ::usleep(50000);
  EXPECT_TRUE(LeftWindowFolders().empty());
}

}  // namespace
