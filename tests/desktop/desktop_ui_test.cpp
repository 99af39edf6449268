// The desktop front end driven as a person drives it: key and mouse events
// on the real (offscreen) widgets of the conditions dialog, its message
// boxes and a whole run by journals.

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/LinkApp.h"
#include "conditions/ConditionsDialog.h"
#include "platform/dialog/RepaintThrottle.h"
#include "platform/dialog/SaveAsRules.h"
#include "resources/ConditionsDialogTemplate.h"
#include "tests/desktop/WidgetDriver.h"
#include "tests/support/ConditionsDialogFixture.h"
#include "tests/support/HostFixture.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/SjisLiteral.h"

namespace {

using desktop::DialogWindow;
using desktop_test::Answer;
using desktop_test::ButtonLabels;
using desktop_test::ChooseFile;
using desktop_test::Click;
using desktop_test::Control;
using desktop_test::Press;
using desktop_test::Shown;
using desktop_test::TypeInto;
using desktop_test::WidgetDriver;
using namespace taxlink;

const char* const kCancelled = "｢消費税｣の集計を中止します。"_sjis;
const char* const kMonthRangeWrong =
    "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis;
const char* const kNoPath = "データ出力先が指定されていません。\n\n出力先を指定してください。"_sjis;
const char* const kOverwrite = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？"_sjis;
const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;

QLineEdit& Edit(DialogWindow& window, int id) {
  return static_cast<QLineEdit&>(Control(window, id));
}
bool Checked(DialogWindow& window, int id) {
  return static_cast<QRadioButton&>(Control(window, id)).isChecked();
}

// The conditions dialog over the private machine of the conditions tests,
// shown by the desktop front end.
class DesktopDialogTest : public taxlink::testing::ConditionsDialogTest {
 protected:
  desktop_test::ScopedDesktopUi ui_;
};

TEST_F(DesktopDialogTest, SwitchingTheMethodAndEscape) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    EXPECT_EQ(Edit(w, kIdcStartMonth).text(), "4");
    EXPECT_EQ(Edit(w, kIdcEndMonth).text(), "3");
    Click(w, kIdcSavedReturnValues);
    EXPECT_TRUE(Checked(w, kIdcSavedReturnValues));
    EXPECT_FALSE(Checked(w, kIdcByJournals));
    EXPECT_EQ(Edit(w, kIdcStartMonth).text(), "6");
    EXPECT_EQ(Edit(w, kIdcEndMonth).text(), "9");
    EXPECT_FALSE(Edit(w, kIdcStartMonth).isEnabled());
    // The mnemonic of "集計期間を指定して仕訳を集計する(&N)".
    Press(w, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(Checked(w, kIdcByJournals));
    EXPECT_FALSE(Checked(w, kIdcSavedReturnValues));
    EXPECT_EQ(Edit(w, kIdcStartMonth).text(), "4");
    EXPECT_TRUE(Edit(w, kIdcStartMonth).isEnabled());
    // "出力先(&O)" takes the focus to the path edit, its text selected.
    Press(w, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcOutputPath));
    EXPECT_EQ(Edit(w, kIdcOutputPath).selectedText(), Edit(w, kIdcOutputPath).text());
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    EXPECT_EQ(box.text(), Shown(kCancelled));
    EXPECT_EQ(box.windowTitle(), Shown("消費税"_sjis));
    EXPECT_EQ(box.icon(), QMessageBox::Information);
    EXPECT_EQ(ButtonLabels(box), QStringList{"OK"});
    QTest::keyClick(&box, Qt::Key_Return);
  });
  EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  const auto& entries = ui_->Transcript().Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]["answer"], "ok");
  EXPECT_EQ(entries[1]["result"], kConditionsCancelled);
  EXPECT_EQ(entries[1]["fields"]["1029"]["checked"], true);
}

TEST_F(DesktopDialogTest, ARefusalFocusesTheFieldAtFault) {
  struct Case {
    const char* start;  // typed
    const char* end;
    const char* path;
    const char* message;
    int field;
    const char* selected;  // the field's selected text afterwards
  } cases[] = {
      {"1x3", "3", "C:\\out\\a.xml", kMonthRangeWrong, kIdcStartMonth, "13"},
      {"3", "4", "C:\\out\\a.xml", kMonthRangeWrong, kIdcEndMonth, "4"},
      {"5", "4", "C:\\out\\a.xml", kMonthRangeWrong, kIdcEndMonth, "4"},
      {"4", "3", "", kNoPath, kIdcOutputPath, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + ".." + c.end + " " + c.path);
    ConditionsDialog dialog(0);
    Fill(dialog);
    WidgetDriver driver;
    driver.OnDialog(kIddConditions, [&c](DialogWindow& w) {
      TypeInto(w, kIdcStartMonth, c.start);
      TypeInto(w, kIdcEndMonth, c.end);
      TypeInto(w, kIdcOutputPath, c.path);
      Press(w, Qt::Key_F12);
    });
    driver.OnMessageBox([&c](QMessageBox& box) {
      EXPECT_EQ(box.text(), Shown(c.message));
      auto* owner = dynamic_cast<DialogWindow*>(box.parentWidget());
      EXPECT_TRUE(owner != nullptr && owner->Model().TemplateId() == kIddConditions)
          << "the box is owned by the open dialog";
      EXPECT_EQ(box.icon(), QMessageBox::Warning);
      EXPECT_EQ(ButtonLabels(box), QStringList{"OK"});
      QTest::keyClick(&box, Qt::Key_Return);
    });
    driver.OnDialog(kIddConditions, [&c](DialogWindow& w) {
      EXPECT_EQ(w.focusWidget(), &Control(w, c.field));
      EXPECT_EQ(Edit(w, c.field).selectedText(), QString::fromUtf8(c.selected));
      Press(w, Qt::Key_Escape);
    });
    driver.OnMessageBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  }
}

// Browse: the file dialog starts in the folder of the path, a file on no
// drive is refused and the dialog opens again, a file on C: becomes a
// Windows path in the path field.
TEST_F(DesktopDialogTest, BrowseGivesAWindowsPathAndRefusesAFolderOnNoDrive) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) { Click(w, kIdcBrowseButton); });
  const std::string outside = "/taxlink-nowhere.xml";  // the drives are below dir_
  driver.OnFileDialog([this, &outside](QFileDialog& files) {
    EXPECT_EQ(files.windowTitle(), Shown("保存ファイルを指定"_sjis));
    EXPECT_EQ(files.directory().absolutePath().toStdString(), dir_.PosixOf("home/folders/out"));
    EXPECT_EQ(files.nameFilters(), QStringList{"Xml Files (*.xml)"});
    ChooseFile(files, outside);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    EXPECT_EQ(box.text(), Shown(platform::kSaveAsNotOnADrive));
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    QTest::keyClick(&box, Qt::Key_Return);
  });
  driver.OnFileDialog(
      [this](QFileDialog& files) { ChooseFile(files, dir_.PosixOf("out/report")); });
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    EXPECT_EQ(Edit(w, kIdcOutputPath).text(), "C:\\out\\report.xml");
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcRunButton));
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
  EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  std::vector<std::string> events;
  for (const auto& entry : ui_->Transcript().Entries()) events.push_back(entry["event"]);
  EXPECT_EQ(events, (std::vector<std::string>{"message", "saveas", "message", "dialog"}));
  EXPECT_EQ(ui_->Transcript().Entries()[1]["path"], "C:\\out\\report.xml");
}

std::vector<nlohmann::json> ReadTranscript(const std::string& path) {
  std::vector<nlohmann::json> entries;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) entries.push_back(nlohmann::json::parse(line));
  return entries;
}

// A whole run by hand: months typed, Enter from field to field, F12, Yes to
// overwriting, the progress window, OK to the closing message.
TEST(DesktopRunTest, ARunTypedByHandWritesTheReport) {
  taxlink::testing::HostFixture host;
  taxlink::testing::AddSelectedCompany(host);
  host.AddJournal(taxlink::testing::Sale(20140410, 1000, 80));
  host.AddJournal(taxlink::testing::Sale(20141110, 500, 40));  // outside 4..9
  taxlink_test::ScopedTempDir dir;
  taxlink_test::ScopedEnv drives("TAXLINK_DRIVES", "C=/");
  const std::string report = dir.WriteFile("out/tax.xml", "old");
  const std::string transcript = dir.Path() + "/transcript.jsonl";
  const std::string windowsPath = taxlink::testing::WindowsPathOf(report);
  taxlink_test::ScopedCwd cwd(dir.Path());  // the run moves to the program's folder

  desktop_test::ScopedDesktopUi ui(transcript);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [&windowsPath](DialogWindow& w) {
    TypeInto(w, kIdcStartMonth, "4");
    Press(w, Qt::Key_Return);
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcEndMonth));
    QTest::keyClicks(w.focusWidget(), "9");
    Press(w, Qt::Key_Return);
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcOutputPath));
    QTest::keyClicks(w.focusWidget(), QString::fromStdString(windowsPath));
    Press(w, Qt::Key_F12);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    EXPECT_EQ(box.text(), Shown(kOverwrite));
    EXPECT_EQ(box.icon(), QMessageBox::Question);
    EXPECT_EQ(ButtonLabels(box), (QStringList{Shown("はい(&Y)"_sjis), Shown("いいえ(&N)"_sjis)}));
    Answer(box, "はい"_sjis);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    EXPECT_EQ(box.text(), Shown(kClosing));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the wait cursor is still on";
    Answer(box, "OK");
  });
  LinkApp app;
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(app.InitInstance(), 1);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  app.ExitInstance();
  EXPECT_EQ(app.runResult, 0);

  std::string written = taxlink::testing::ReadFileBytes(report);
  EXPECT_EQ(taxlink::testing::ElementText(written, "KAZEIURIAGEZEINUKI8"), "1000");
  EXPECT_NE(written.find("</REPORT>"), std::string::npos);

  std::vector<nlohmann::json> entries = ReadTranscript(transcript);
  std::vector<std::string> events;
  for (const nlohmann::json& entry : entries) {
    std::string event = entry["event"];
    if (event == "progress") event += " " + entry["state"].get<std::string>();
    if (event == "message") event += " " + entry["answer"].get<std::string>();
    // Repaints come as time passes (at most about 30 a second).
    if (event != "progress repaint") events.push_back(event);
  }
  EXPECT_EQ(events,
            (std::vector<std::string>{"message yes", "dialog", "progress created", "progress shown",
                                      "progress ended", "message ok", "progress destroyed"}));
  ASSERT_GE(entries.size(), 2u);
  const nlohmann::json& conditions = entries[1];
  EXPECT_EQ(conditions["result"], kConditionsRun);
  EXPECT_EQ(conditions["fields"]["1014"]["text"], "4");
  EXPECT_EQ(conditions["fields"]["1016"]["text"], "9");
  EXPECT_EQ(conditions["fields"]["1008"]["text"], windowsPath);
  // At most about 30 repaints a second, besides one for each change of state.
  EXPECT_GT(ui->ModelessRepaints(), 0);
  EXPECT_LE(ui->ModelessRepaints(), 30 * seconds + 10);
  EXPECT_EQ(ui->WaitCursorDepth(), 0);
}

TEST(RepaintThrottleTest, AtMostOneRepaintPerInterval) {
  platform::RepaintThrottle throttle(20'000'000);  // 20 ms
  int due = 0;
  long long calls = 0;
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  while (std::chrono::steady_clock::now() < until) {
    for (int i = 0; i < 1000; ++i, ++calls) due += throttle.Due() ? 1 : 0;
  }
  // The first call is due; then one per 20 ms, give or take a tick of the
  // coarse clock.
  EXPECT_GE(due, 5);
  EXPECT_LE(due, 12);
  EXPECT_GT(throttle.Batch(), 1) << "the clock is read on every call";
  throttle.Reset();
  EXPECT_TRUE(throttle.Due());
}

}  // namespace
