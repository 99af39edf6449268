// The scripted and the none front ends, their transcripts and Ui().

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include <fstream>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "platform/ui/NoneUi.h"
#include "platform/ui/ScriptedUi.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/PlatformUiFixture.h"
#include "tests/support/SjisLiteral.h"

namespace {

using platform::ControlKind;
using platform::Ui;
using taxlink_test::ScopedEnv;
using taxlink_test::ScopedScriptedUi;
using taxlink_test::ScopedTempDir;

// UTF-8 text regardless of the execution character set.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

constexpr uint32_t kTab = platform::kStyleTabStop;

platform::DialogTemplate SampleTemplate() {
  return platform::DialogTemplate{
      130,
      "消費税 - 集計条件"_sjis,
      {0, 0, 255, 228},
      "ＭＳ Ｐゴシック"_sjis,
      9,
      platform::kDialogCaption | platform::kDialogSysMenu,
      {
          {1014, ControlKind::kEdit, {}, "", kTab | platform::kStyleNumber},
          {1016, ControlKind::kEdit, {}, "", kTab | platform::kStyleNumber},
          {1012, ControlKind::kEdit, {}, "", kTab | platform::kStyleDisabled},
          {1005, ControlKind::kPushButton, {}, "実行(F12)"_sjis, kTab},
      }};
}

// Asks before running and confirms a cancel, as the program's dialogs do.
class SampleDialog : public platform::Dialog {
 public:
  SampleDialog() : Dialog(SampleTemplate(), 0) {}

 protected:
  void OnCommand(int id) override {
    if (id == 1005 && Ui().MessageBox(Handle(), "上書きしてもよろしいですか？"_sjis, "消費税"_sjis,
                                      MB_YESNO | MB_ICONQUESTION) == IDYES) {
      EndDialog(1005);
    }
  }
  void OnCancel() override {
    Ui().MessageBox(Handle(), "｢消費税｣の集計を中止します。"_sjis, "消費税"_sjis,
                    MB_OK | MB_ICONINFORMATION);
    EndDialog(1006);
  }
};

TEST(ScriptedUiTest, MessageAnswersAndMismatches) {
  struct Case {
    const char8_t* script;
    uint32_t style;
    int answer;
    int mismatches;
    std::size_t remaining;
  } cases[] = {
      {u8R"({"answer":"yes"})", MB_YESNO, IDYES, 0, 0},
      {u8R"({"answer":"no","expect":"よろしい"})", MB_YESNO, IDNO, 0, 0},
      {u8R"({"answer":"yes","expect":"存在しません"})", MB_YESNO, IDNO, 1, 1},
      {u8R"({"answer":"ok"})", MB_YESNO, IDNO, 1, 1},  // not a button
      {u8R"({"answer":"cancel"})", MB_OKCANCEL, IDCANCEL, 0, 0},
      {u8R"({"answer":"ok"})", MB_OKCANCEL, IDOK, 0, 0},
      {u8"", MB_OKCANCEL, IDCANCEL, 1, 0},  // script ended
      {u8"", MB_OK, IDOK, 1, 0},
      {u8R"({"do":"click","id":1})", MB_YESNO, IDNO, 1, 1},  // not an answer
      // An optional answer for another message is passed over, and only it.
      {u8"{\"answer\":\"yes\",\"expect\":\"存在しません\",\"optional\":true}\n"
       u8"{\"answer\":\"yes\",\"expect\":\"上書き\"}",
       MB_YESNO, IDYES, 0, 0},
      {u8"{\"answer\":\"yes\",\"expect\":\"上書き\",\"optional\":true}\n{\"answer\":\"ok\"}",
       MB_YESNO, IDYES, 0, 1},
      {u8"{\"answer\":\"yes\",\"expect\":\"存在しません\",\"optional\":true}", MB_YESNO, IDNO, 1,
       0},
  };
  for (const Case& c : cases) {
    ScopedScriptedUi ui(U8(c.script));
    EXPECT_EQ(Ui().MessageBox(0, "上書きしてもよろしいですか？"_sjis, "消費税"_sjis, c.style),
              c.answer)
        << U8(c.script);
    EXPECT_EQ(ui->MismatchCount(), c.mismatches) << U8(c.script);
    EXPECT_EQ(ui->RemainingSteps(), c.remaining) << U8(c.script);
  }
}

TEST(ScriptedUiTest, TranscriptLinesWordForWord) {
  ScopedTempDir dir;
  std::string file = dir.Path() + "/transcript.jsonl";
  {
    ScopedScriptedUi ui(U8(u8R"({"answer":"ok"})"), file);
    Ui().MessageBox(4660, "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis,
                    "消費税"_sjis, MB_OK | MB_ICONEXCLAMATION);
    Ui().MessageBox(0, "続けますか？"_sjis, "消費税"_sjis, MB_YESNO | MB_ICONWARNING);
  }
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(
      lines[0],
      U8(u8R"({"event":"message","owner":4660,"caption":"消費税","text":"集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。","icon":"warning","buttons":"ok","answer":"ok"})"));
  EXPECT_EQ(
      lines[1],
      U8(u8R"({"event":"mismatch","expected":null,"got":"message","detail":"no answer in the script for the message \"続けますか？\""})"));
  EXPECT_EQ(
      lines[2],
      U8(u8R"({"event":"message","owner":0,"caption":"消費税","text":"続けますか？","icon":"warning","buttons":"yesno","answer":"no"})"));
}

TEST(ScriptedUiTest, DialogFollowsTheScript) {
  ScopedScriptedUi ui(
      U8(u8R"(# the month range, then run
{"do":"type","id":1014,"text":"4"}
{"do":"key","key":"Tab","dialog":130}

{"do":"type","id":1016,"text":"3x"}
{"do":"click","id":1005}
{"answer":"yes","expect":"上書き"})"));
  SampleDialog dialog;
  EXPECT_EQ(Ui().RunModal(dialog), 1005);
  EXPECT_TRUE(dialog.IsModal());
  EXPECT_EQ(ui->MismatchCount(), 0);
  EXPECT_EQ(ui->RemainingSteps(), 0u);
  std::vector<nlohmann::ordered_json> dialogs = ui->Events("dialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(
      dialogs[0].dump(),
      U8(u8R"j({"event":"dialog","id":130,"caption":"消費税 - 集計条件","result":1005,"fields":{"1014":{"text":"4","enabled":true,"checked":false},"1016":{"text":"3","enabled":true,"checked":false},"1012":{"text":"","enabled":false,"checked":false},"1005":{"text":"実行(F12)","enabled":true,"checked":false}},"focus":1005})j"));
}

TEST(ScriptedUiTest, UnforeseenDialogStateCancelsWithOneMismatch) {
  struct Case {
    const char8_t* script;
    const char8_t* detail;
    std::size_t remaining;
  } cases[] = {
      {u8"",
       u8"dialog 130 \"消費税 - 集計条件\" waits for input but the script has no action for it", 0},
      {u8R"({"answer":"yes"})",
       u8"dialog 130 \"消費税 - 集計条件\" waits for input but the script has no action for it", 1},
      {u8R"({"do":"click","id":1005,"dialog":131})",
       u8"the step is for dialog 131 but dialog 130 \"消費税 - 集計条件\" is open", 1},
  };
  for (const Case& c : cases) {
    ScopedScriptedUi ui(U8(c.script));
    SampleDialog dialog;
    EXPECT_EQ(Ui().RunModal(dialog), 1006);
    EXPECT_EQ(ui->MismatchCount(), 1);
    EXPECT_EQ(ui->RemainingSteps(), c.remaining);
    std::vector<nlohmann::ordered_json> mismatches = ui->Events("mismatch");
    ASSERT_EQ(mismatches.size(), 1u);
    EXPECT_EQ(mismatches[0]["detail"], U8(c.detail));
    EXPECT_EQ(mismatches[0]["got"], "dialog");
    // The cancel confirmation was shown and answered without a mismatch.
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{U8(u8"｢消費税｣の集計を中止します。")});
  }
}

TEST(ScriptedUiTest, AnActionThatCannotBeDoneIsAMismatchAndTheScriptGoesOn) {
  ScopedScriptedUi ui(
      U8(u8R"({"do":"type","id":1012,"text":"1"}
{"do":"close"}
{"answer":"ok"})"));
  SampleDialog dialog;
  EXPECT_EQ(Ui().RunModal(dialog), 1006);
  ASSERT_EQ(ui->MismatchCount(), 1);
  EXPECT_EQ(ui->Events("mismatch")[0]["detail"],
            U8(u8"dialog 130 \"消費税 - 集計条件\": cannot type into control 1012 (missing, "
               u8"disabled or not an edit)"));
  EXPECT_EQ(ui->RemainingSteps(), 0u);
}

TEST(ScriptedUiTest, SaveAsChoices) {
  struct Case {
    const char8_t* script;
    bool confirmed;
    std::string path;
    int mismatches;
  } cases[] = {
      {u8R"({"saveas":"C:\\出力\\a.xml"})", true, "C:\\出力\\a.xml"_sjis, 0},
      {u8R"({"saveas":null})", false, "", 0},
      {u8"", false, "", 1},
      {u8R"({"answer":"ok"})", false, "", 1},
  };
  for (const Case& c : cases) {
    ScopedScriptedUi ui(U8(c.script));
    platform::SaveFileRequest request;
    request.title = "保存ファイルを指定"_sjis;
    EXPECT_EQ(Ui().GetSaveFileName(request), c.confirmed);
    EXPECT_EQ(request.chosenPath, c.path);
    EXPECT_EQ(ui->MismatchCount(), c.mismatches);
    ASSERT_EQ(ui->Events("saveas").size(), 1u);
    EXPECT_EQ(ui->Events("saveas")[0]["title"], U8(u8"保存ファイルを指定"));
  }
}

TEST(ScriptedUiTest, ShiftJisScriptTextIsReadToo) {
  ScopedScriptedUi ui(R"({"answer":"yes","expect":"上書き"})");  // a Shift_JIS literal
  EXPECT_EQ(ui->ScriptError(), "");
  EXPECT_EQ(Ui().MessageBox(0, "上書きしてもよろしいですか？"_sjis, "消費税"_sjis, MB_YESNO),
            IDYES);
  EXPECT_EQ(ui->MismatchCount(), 0);
}

TEST(ScriptedUiTest, MalformedLineEndsTheScript) {
  struct Case {
    const char* line;
    std::string error;
  } cases[] = {
      {"{bad", "line 3: not valid JSON"},
      {R"({"do":"jump"})", "line 3: unknown action \"jump\""},
      {R"({"answer":"maybe"})", "line 3: \"answer\" must be \"yes\", \"no\", \"ok\" or \"cancel\""},
      {R"({"do":"type","id":"x","text":"1"})",
       "line 3: \"type\" needs a numeric \"id\" and a \"text\""},
      {R"({"do":"key","key":"F1"})",
       "line 3: \"key\" must be \"Enter\", \"Esc\", \"F12\", \"Tab\" or a letter A-Z or digit"},
      {R"({"do":"key","key":"Tab","mods":["meta"]})",
       "line 3: \"mods\" may hold only \"shift\", \"ctrl\" and \"alt\""},
      {R"({"answer":"yes","saveas":null})",
       "line 3: a step needs exactly one of \"do\", \"answer\" and \"saveas\""},
      {"[1,2]", "line 3: a step must be a JSON object"},
  };
  for (const Case& c : cases) {
    std::string script =
        std::string("{\"answer\":\"ok\"}\n\n") + c.line + "\n{\"answer\":\"ok\"}\n";
    testing::internal::CaptureStderr();
    platform::ScriptedUi ui(script);
    std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ui.ScriptError(), c.error);
    EXPECT_EQ(ui.RemainingSteps(), 1u);
    EXPECT_EQ(stderrText,
              "taxlink: user interface script, " + c.error + "; the script ends before it\n");
  }
}

TEST(ScriptedUiTest, ModelessDialogEventsAtShowEndAndDestroy) {
  ScopedScriptedUi ui("");
  {
    SampleDialog progress;
    progress.Create();
    progress.ShowWindow(true);
    for (int i = 0; i < 3; ++i) progress.UpdateWindow();
    progress.SetCaption("集計中 100％"_sjis);
    progress.BringWindowToTop();
    progress.EndDialog(1);
    EXPECT_FALSE(progress.IsVisible());
  }
  std::vector<nlohmann::ordered_json> events;
  // Repaints come as time passes (at most about 30 a second).
  for (const auto& event : ui->Events("progress")) {
    if (event["state"] != "repaint") events.push_back(event);
  }
  ASSERT_EQ(events.size(), 4u);
  std::vector<std::string> states;
  states.reserve(events.size());
  for (const auto& event : events) states.push_back(event["state"]);
  EXPECT_EQ(states, (std::vector<std::string>{"created", "shown", "ended", "destroyed"}));
  EXPECT_EQ(
      events[2].dump(),
      U8(u8R"({"event":"progress","id":130,"caption":"集計中 100％","visible":false,"repaints":3,"state":"ended"})"));
  EXPECT_EQ(ui->MismatchCount(), 0);
}

TEST(NoneUiTest, CancelsTheDialogAndAnswersSafely) {
  auto none = std::make_unique<platform::NoneUi>();
  platform::NoneUi* raw = none.get();
  auto previous = platform::SetUi(std::move(none));
  SampleDialog dialog;
  testing::internal::CaptureStderr();
  int result = Ui().RunModal(dialog);
  int answer = Ui().MessageBox(0, "続けますか？"_sjis, "消費税"_sjis, MB_YESNO | MB_ICONWARNING);
  std::string stderrText = testing::internal::GetCapturedStderr();
  platform::SaveFileRequest request;
  bool saved = Ui().GetSaveFileName(request);
  std::size_t entries = raw->Transcript().size();
  platform::SetUi(std::move(previous));

  EXPECT_EQ(result, 1006);
  EXPECT_EQ(answer, IDNO);
  EXPECT_FALSE(saved);
  EXPECT_EQ(entries, 4u);  // the cancel message, the dialog, the question, save-as
  EXPECT_EQ(stderrText, U8(u8"taxlink: the dialog \"消費税 - 集計条件\" is cancelled: there is no "
                           u8"terminal and TAXLINK_UI_SCRIPT names no script\n"
                           u8"消費税: ｢消費税｣の集計を中止します。 [ok]\n"
                           u8"消費税: 続けますか？ [no]\n"));
}

TEST(UiSelectionTest, ScriptVariableChoosesTheScriptedFrontEnd) {
  ScopedTempDir dir;
  std::string script = dir.WriteFile("run.jsonl", "{\"answer\":\"yes\"}\n{\"saveas\":null}\n");
  {
    ScopedEnv variable("TAXLINK_UI_SCRIPT", script);
    std::unique_ptr<platform::UserInterface> ui = platform::MakeUiFromEnvironment();
    auto* scripted = dynamic_cast<platform::ScriptedUi*>(ui.get());
    ASSERT_NE(scripted, nullptr);
    EXPECT_EQ(scripted->RemainingSteps(), 2u);
  }
  {
    ScopedEnv variable("TAXLINK_UI_SCRIPT", dir.Path() + "/missing.jsonl");
    testing::internal::CaptureStderr();
    std::unique_ptr<platform::UserInterface> ui = platform::MakeUiFromEnvironment();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "taxlink: cannot read the user interface script " + dir.Path() + "/missing.jsonl\n");
    auto* scripted = dynamic_cast<platform::ScriptedUi*>(ui.get());
    ASSERT_NE(scripted, nullptr);
    EXPECT_EQ(scripted->RemainingSteps(), 0u);
  }
}

TEST(UiSelectionTest, RelativeNamesAreTakenFromTheStartFolder) {
  ScopedTempDir start;
  ScopedTempDir elsewhere;
  start.WriteFile("run.jsonl", "{\"answer\":\"no\"}\n");
  ScopedEnv pwd("PWD", start.Path());
  ScopedEnv script("TAXLINK_UI_SCRIPT", "run.jsonl");
  ScopedEnv transcript("TAXLINK_UI_TRANSCRIPT", "out.jsonl");
  taxlink_test::ScopedCwd cwd(elsewhere.Path());
  std::unique_ptr<platform::UserInterface> ui = platform::MakeUiFromEnvironment();
  EXPECT_EQ(ui->MessageBox(0, "x", "y", MB_YESNO), IDNO);
  EXPECT_TRUE(std::ifstream(start.Path() + "/out.jsonl").good());
}

// Stand-in interactive front ends that the selection can return.
class TerminalMarkerUi : public platform::NoneUi {};
class DesktopMarkerUi : public platform::NoneUi {};
std::unique_ptr<platform::UserInterface> MakeTerminalMarker() {
  return std::make_unique<TerminalMarkerUi>();
}
std::unique_ptr<platform::UserInterface> MakeDesktopMarker() {
  return std::make_unique<DesktopMarkerUi>();
}
// A desktop front end that cannot reach its display.
std::unique_ptr<platform::UserInterface> MakeNoDesktop() { return nullptr; }

// Puts fd on standard input and output for the life of the object.
class ScopedStdio {
 public:
  explicit ScopedStdio(int fd) : savedIn_(dup(0)), savedOut_(dup(1)) {
    dup2(fd, 0);
    dup2(fd, 1);
  }
  ~ScopedStdio() {
    dup2(savedIn_, 0);
    dup2(savedOut_, 1);
    close(savedIn_);
    close(savedOut_);
  }

 private:
  int savedIn_;
  int savedOut_;
};

TEST(UiSelectionTest, FrontEndFollowsTheVariableTheDisplayAndTheTerminal) {
  ScopedTempDir dir;
  std::string script = dir.WriteFile("run.jsonl", "{\"answer\":\"yes\"}\n");
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  int tty = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(tty, 0);
  enum Chosen { kNone, kScript, kTerminal, kDesktop };
  using platform::UiFactory;
  struct Case {
    const char* variable;  // TAXLINK_UI, null when unset
    bool scriptSet;
    const char* display;
    bool onTerminal;
    UiFactory desktop;
    UiFactory terminal;
    Chosen expected;
    const char* message;  // on standard error
  } cases[] = {
      {nullptr, false, nullptr, false, MakeDesktopMarker, MakeTerminalMarker, kNone, ""},
      {nullptr, false, nullptr, true, MakeDesktopMarker, MakeTerminalMarker, kTerminal, ""},
      {nullptr, false, nullptr, true, MakeDesktopMarker, nullptr, kNone, ""},
      {nullptr, false, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kDesktop, ""},
      {nullptr, false, ":0", true, nullptr, MakeTerminalMarker, kTerminal, ""},
      {nullptr, false, ":0", true, MakeNoDesktop, MakeTerminalMarker, kTerminal, ""},
      {nullptr, true, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kScript, ""},
      {"terminal", true, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kTerminal, ""},
      {"desktop", false, nullptr, false, MakeDesktopMarker, nullptr, kDesktop, ""},
      {"none", true, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kNone, ""},
      {"script", true, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kScript, ""},
      {"script", false, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kNone,
       "taxlink: TAXLINK_UI=script but TAXLINK_UI_SCRIPT names no script\n"},
      {"desktop", false, ":0", true, nullptr, MakeTerminalMarker, kNone,
       "taxlink: TAXLINK_UI=desktop names a front end this program was built without\n"},
      {"window", false, ":0", true, MakeDesktopMarker, MakeTerminalMarker, kNone,
       "taxlink: TAXLINK_UI=window is not a front end (desktop, terminal, script or none)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(
        std::string(c.variable ? c.variable : "-") + " script=" + std::to_string(c.scriptSet) +
        " display=" + (c.display ? c.display : "-") + " terminal=" + std::to_string(c.onTerminal));
    ScopedEnv variable("TAXLINK_UI",
                       c.variable ? std::optional<std::string>(c.variable) : std::nullopt);
    ScopedEnv scriptVariable("TAXLINK_UI_SCRIPT",
                             c.scriptSet ? std::optional<std::string>(script) : std::nullopt);
    ScopedEnv display("DISPLAY", c.display ? std::optional<std::string>(c.display) : std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    platform::SetDesktopUiFactory(c.desktop);
    platform::SetTerminalUiFactory(c.terminal);
    testing::internal::CaptureStderr();
    std::unique_ptr<platform::UserInterface> ui;
    {
      ScopedStdio stdio(c.onTerminal ? tty : pipeFds[0]);
      ui = platform::MakeUiFromEnvironment();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    platform::SetDesktopUiFactory(nullptr);
    platform::SetTerminalUiFactory(nullptr);
    Chosen chosen = dynamic_cast<DesktopMarkerUi*>(ui.get())        ? kDesktop
                    : dynamic_cast<TerminalMarkerUi*>(ui.get())     ? kTerminal
                    : dynamic_cast<platform::ScriptedUi*>(ui.get()) ? kScript
                                                                    : kNone;
    EXPECT_EQ(chosen, c.expected);
  }
  close(tty);
  close(master);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

TEST(UiSelectionTest, ScopedScriptedUiRestoresThePreviousFrontEnd) {
  platform::UserInterface* before = &Ui();
  {
    ScopedScriptedUi ui("");
    EXPECT_EQ(&Ui(), &ui.Get());
  }
  EXPECT_EQ(&Ui(), before);
}

}  // namespace
