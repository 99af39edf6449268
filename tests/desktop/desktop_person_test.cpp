// The desktop front end as a person meets it: real key events on the
// focused widgets of the conditions dialog, its message boxes, the save-as
// dialog and the progress window; each test is named after what went wrong.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <string>

#include "conditions/ConditionsDialog.h"
#include "desktop/DialogWindow.h"
#include "platform/dialog/SaveAsRules.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"
#include "resources/ConditionsDialogTemplate.h"
#include "resources/ProgressDialogTemplate.h"
#include "tests/desktop/WidgetDriver.h"
#include "tests/support/ConditionsDialogFixture.h"
#include "tests/support/SjisLiteral.h"

namespace {

using desktop::DialogWindow;
using desktop_test::ChooseFile;
using desktop_test::Click;
using desktop_test::Control;
using desktop_test::Press;
using desktop_test::Shown;
using desktop_test::WidgetDriver;
using namespace taxlink;

const char* const kBadCharacters =
    "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"_sjis;

QLineEdit& Edit(DialogWindow& w, int id) { return static_cast<QLineEdit&>(Control(w, id)); }
// Each character as a key with its text (also those QTest has no key for).
void Type(DialogWindow& w, const QString& text) {
  for (QChar c : text) {
    QTest::sendKeyEvent(QTest::Click, w.focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}
void Ok(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }

class DesktopPersonTest : public taxlink::testing::ConditionsDialogTest {
 protected:
  // Runs the dialog under the driver's steps; its conditions when it ran.
  RunConditions Run(ConditionsDialog& dialog, int expected = kConditionsRun) {
    EXPECT_EQ(dialog.DoModal(), expected);
    return dialog.GetRunConditions();
  }
  desktop_test::ScopedDesktopUi ui_;
};

// Typing after coming back to an edit replaced nothing: "5" made "45".
TEST_F(DesktopPersonTest, ComingBackToAnEditSelectsItsText) {
  {
    ConditionsDialog dialog(0);
    Fill(dialog);
    WidgetDriver driver;
    driver.OnDialog(kIddConditions, [](DialogWindow& w) {
      for (Qt::Key key : {Qt::Key_S, Qt::Key_E, Qt::Key_S}) Press(w, key, Qt::AltModifier);
      Type(w, "5");
      Press(w, Qt::Key_Return);
      Type(w, "9");
      Press(w, Qt::Key_Return);  // the path, its text selected
      Type(w, "C:\\out\\new.xml");
      Press(w, Qt::Key_F12);
    });
    RunConditions run = Run(dialog);
    EXPECT_EQ(run.startMonth, 5);
    EXPECT_EQ(run.endMonth, 9);
    EXPECT_EQ(run.outputPath, "C:\\out\\new.xml");
  }
  {
    // The path refused twice, then typed again.
    ConditionsDialog dialog(0);
    Fill(dialog);
    WidgetDriver driver;
    driver.OnDialog(kIddConditions, [](DialogWindow& w) { Press(w, Qt::Key_F12); });
    driver.OnMessageBox([](QMessageBox& box) {
      EXPECT_EQ(box.text(), Shown(kBadCharacters));
      Ok(box);
    });
    driver.OnDialog(kIddConditions, [](DialogWindow& w) { Press(w, Qt::Key_F12); });
    driver.OnMessageBox(Ok);
    driver.OnDialog(kIddConditions, [](DialogWindow& w) {
      Type(w, "C:\\out\\ok.xml");
      Press(w, Qt::Key_F12);
    });
    EXPECT_EQ(Run(dialog).outputPath, "C:\\out\\ok.xml");
  }
}

// Where the method is fixed the dialog opens in the start month: typing
// "1" made "41" (November to December under a full-year header).
TEST_F(DesktopPersonTest, WithTheMethodFixedTypingReplacesTheStartMonth) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.savedReturnUsable = 0;
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcStartMonth));
    Type(w, "5");
    Press(w, Qt::Key_O, Qt::AltModifier);
    Type(w, "C:\\out\\r.xml");
    Press(w, Qt::Key_F12);
  });
  RunConditions run = Run(dialog);
  EXPECT_EQ(run.startMonth, 5);
  EXPECT_EQ(run.endMonth, 3);
}

// Focus was drawn nowhere but in edits: Enter's target could not be seen.
TEST_F(DesktopPersonTest, FocusIsVisibleOnButtonsAndRadioButtons) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    QWidget& radio = Control(w, kIdcByJournals);
    QWidget& browse = Control(w, kIdcBrowseButton);
    ASSERT_EQ(w.focusWidget(), &radio);  // at the start
    QImage radioFocused = radio.grab().toImage();
    Press(w, Qt::Key_O, Qt::AltModifier);
    Press(w, Qt::Key_Return);  // to 参照
    ASSERT_EQ(w.focusWidget(), &browse);
    QImage browseFocused = browse.grab().toImage();
    Press(w, Qt::Key_Tab);
    EXPECT_NE(radio.grab().toImage(), radioFocused) << "no focus drawn on the radio button";
    EXPECT_NE(browse.grab().toImage(), browseFocused) << "no focus drawn on the button";
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox(Ok);
  Run(dialog, kConditionsCancelled);
}

// The arrows did nothing in the method group.
TEST_F(DesktopPersonTest, ArrowKeysMoveInTheMethodGroup) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    auto checked = [&w](int id) { return static_cast<QRadioButton&>(Control(w, id)).isChecked(); };
    Press(w, Qt::Key_Down);
    EXPECT_TRUE(checked(kIdcSavedReturnValues));
    EXPECT_EQ(w.focusWidget(), &Control(w, kIdcSavedReturnValues));
    EXPECT_EQ(Edit(w, kIdcStartMonth).text(), "6");
    Press(w, Qt::Key_Up);
    EXPECT_TRUE(checked(kIdcByJournals));
    EXPECT_FALSE(checked(kIdcSavedReturnValues));
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox(Ok);
  Run(dialog, kConditionsCancelled);
}

// A refused key deleted the selected month; a key past the path's limit
// cut its end.
TEST_F(DesktopPersonTest, ARefusedKeyLeavesTheEditAsItWas) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    Press(w, Qt::Key_S, Qt::AltModifier);
    for (const QString& refused : {QString("a"), Shown("１２"_sjis)}) {
      Type(w, refused);
      EXPECT_EQ(Edit(w, kIdcStartMonth).text(), "4") << refused.toStdString();
      EXPECT_EQ(Edit(w, kIdcStartMonth).selectedText(), "4") << refused.toStdString();
      EXPECT_EQ(w.Model().GetItemText(kIdcStartMonth), "4");
    }
    QString full = "C:\\" + QString(252, u'a');  // 255 bytes, the limit
    Press(w, Qt::Key_O, Qt::AltModifier);
    Type(w, full);
    Press(w, Qt::Key_Home);
    Type(w, "b");
    EXPECT_EQ(Edit(w, kIdcOutputPath).text(), full);
    EXPECT_EQ(w.Model().GetItemText(kIdcOutputPath).size(), 255u);
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox(Ok);
  Run(dialog, kConditionsCancelled);
}

// Y and N did not answer a question.
TEST_F(DesktopPersonTest, YesAndNoAnswerByTheirLetters) {
  for (auto [key, answer] : {std::pair{Qt::Key_Y, IDYES}, std::pair{Qt::Key_N, IDNO}}) {
    WidgetDriver driver;
    driver.OnMessageBox([key = key](QMessageBox& box) {
      EXPECT_EQ(desktop_test::ButtonLabels(box),
                (QStringList{Shown("はい(&Y)"_sjis), Shown("いいえ(&N)"_sjis)}));
      QTest::keyClick(box.focusWidget(), key);
    });
    EXPECT_EQ(platform::Ui().MessageBox(0, "続けますか？"_sjis, "消費税"_sjis,
                                        MB_ICONQUESTION | MB_YESNO),
              answer);
  }
}

// A key sent to the window rather than its control, or Qt's own reject,
// ended the dialog without the cancel message.
TEST_F(DesktopPersonTest, EveryWayOutGoesThroughTheModelsCancel) {
  for (int way = 0; way < 2; ++way) {
    ConditionsDialog dialog(0);
    Fill(dialog);
    WidgetDriver driver;
    driver.OnDialog(kIddConditions, [way](DialogWindow& w) {
      if (way == 0) {
        QTest::keyClick(&w, Qt::Key_Escape);
      } else {
        w.reject();
      }
    });
    driver.OnMessageBox([](QMessageBox& box) {
      EXPECT_EQ(box.text(), Shown("｢消費税｣の集計を中止します。"_sjis));
      Ok(box);
    });
    Run(dialog, kConditionsCancelled);
    EXPECT_EQ(ui_->Transcript().Entries().back()["result"], kConditionsCancelled) << way;
  }
}

// The two bars looked the same: the detail bar is drawn in blocks.
TEST(DesktopProgressTest, TheDetailBarIsSegmentedAndTheOverallBarSmooth) {
  desktop_test::EnsureOffscreenApplication();
  platform::Dialog progress(taxlink::ProgressDialogTemplate(), 0);
  progress.SetModal(true);  // drawn here, not reported to a front end
  progress.Create();
  progress.ProgressSetRange(kIdcOverallBar, 0, 10);
  progress.ProgressSetPos(kIdcOverallBar, 10);
  progress.ProgressSetRange(kIdcDetailBar, 0, 10);
  progress.ProgressSetPos(kIdcDetailBar, 10);
  DialogWindow window(progress, nullptr);
  window.show();
  // Colour changes along the middle row of a full bar.
  auto changes = [&window](int id) {
    QImage image = window.ControlWidget(id)->grab().toImage();
    int row = image.height() / 2;
    int count = 0;
    for (int x = 3; x + 3 < image.width(); ++x)
      count += image.pixel(x, row) != image.pixel(x - 1, row);
    return count;
  };
  EXPECT_LE(changes(kIdcOverallBar), 2);
  EXPECT_GE(changes(kIdcDetailBar), 20);
}

// The save-as dialog closed with "newfolder\.xml", spoke English, took a
// typed Windows path as a name below the folder, accepted a path longer
// than the run takes and fell back to the home folder.
TEST_F(DesktopPersonTest, SaveAsTakesOnlyAFileTheRunCanUse) {
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    Press(w, Qt::Key_O, Qt::AltModifier);
    Type(w, "C:\\out\\gone\\away\\*.xml");  // two levels missing
    Press(w, Qt::Key_D, Qt::AltModifier);
  });
  auto refusedWith = [&driver](const char* message) {
    driver.OnMessageBox([message](QMessageBox& box) {
      EXPECT_EQ(box.text(), Shown(message));
      Ok(box);
    });
  };
  driver.OnFileDialog([this](QFileDialog& files) {
    EXPECT_EQ(files.directory().absolutePath().toStdString(), dir_.PosixOf("out"));
    EXPECT_EQ(files.findChild<QLabel*>("fileNameLabel")->text(), Shown("ファイル名(&N):"_sjis));
    EXPECT_EQ(files.labelText(QFileDialog::Accept), Shown("保存(&S)"_sjis));
    QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
    if (QFileInfo::exists(translations)) {
      EXPECT_NE(files.findChild<QToolButton*>("backButton")->toolTip(), "Back");
    }
    ChooseFile(files, "newfolder/");
  });
  refusedWith(platform::kSaveAsFolderNotFound);
  // 268 bytes in a folder that exists (each name within the file system's
  // limit).
  const std::string deep(200, 'd');
  std::filesystem::create_directories(dir_.PosixOf("out/" + deep));
  driver.OnFileDialog([&deep](QFileDialog& files) {
    ChooseFile(files, "C:\\out\\" + deep + "\\" + std::string(60, 'n'));
  });
  refusedWith(platform::kSaveAsPathTooLong);
  driver.OnFileDialog([](QFileDialog& files) { ChooseFile(files, "C:\\out\\typed"); });
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    EXPECT_EQ(Edit(w, kIdcOutputPath).text(), "C:\\out\\typed.xml");
    Press(w, Qt::Key_Escape);
  });
  driver.OnMessageBox(Ok);
  Run(dialog, kConditionsCancelled);
}

}  // namespace
