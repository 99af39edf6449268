// The windows as a person sees them: dialog 130 laid out from its template
// in the mapped font, a refusal, the overwrite question and the progress
// window, each saved as a PNG under build/screenshots/ (docs/images/ holds
// copies).

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <fstream>
#include <string>

#include "aggregation/ProgressDialog.h"
#include "conditions/ConditionsDialog.h"
#include "desktop/QtText.h"
#include "resources/ConditionsDialogTemplate.h"
#include "resources/ProgressDialogTemplate.h"
#include "tests/desktop/WidgetDriver.h"
#include "tests/support/ConditionsDialogFixture.h"
#include "tests/support/SjisLiteral.h"

namespace {

using desktop::DialogWindow;
using desktop_test::Control;
using desktop_test::Press;
using desktop_test::SaveScreenshot;
using desktop_test::Shown;
using desktop_test::TypeInto;
using desktop_test::WidgetDriver;
using namespace taxlink;

class ScreenshotTest : public taxlink::testing::ConditionsDialogTest {
 protected:
  desktop_test::ScopedDesktopUi ui_;

  // Every text of the window fits its control as the template places it.
  static void ExpectTextsFit(DialogWindow& w) {
    for (const platform::Control& control : w.Model().Controls()) {
      if (control.kind != platform::ControlKind::kLabel &&
          control.kind != platform::ControlKind::kRadioButton &&
          control.kind != platform::ControlKind::kPushButton) {
        continue;
      }
      QString text = desktop::ToQt(control.text).remove(u'&');
      QFontMetrics metrics(w.Metrics().Font());
      int room = w.Metrics().XToPixels(control.rect.width);
      if (control.kind == platform::ControlKind::kRadioButton) room -= 16;  // the circle
      EXPECT_LE(metrics.horizontalAdvance(text), room) << control.id << " " << text.toStdString();
    }
  }

  // Opens the dialog, checks and saves it, then cancels with the close box.
  void Capture(ConditionsDialog& dialog, const std::string& name, bool tipExpected) {
    WidgetDriver driver;
    driver.OnDialog(kIddConditions, [&](DialogWindow& w) {
      // 255 x 228 dialog units in the font's units.
      EXPECT_EQ(w.size(), QSize(w.Metrics().XToPixels(255), w.Metrics().YToPixels(228)));
      EXPECT_EQ(w.windowTitle(), Shown("消費税 - 集計条件"_sjis));
      ExpectTextsFit(w);
      QString tip = Control(w, kIdcSavedValuesTip).toolTip();
      EXPECT_EQ(tip.startsWith(
                    Shown("連動元製品にて入力・保存した消費税申告書の情報を使用します。\n"_sjis)),
                tipExpected);
      QImage image = SaveScreenshot(w, name);
      EXPECT_GT(image.width(), 300);
      w.close();  // the close box cancels, as Esc does
    });
    driver.OnMessageBox([](QMessageBox& box) {
      EXPECT_EQ(box.text(), Shown("｢消費税｣の集計を中止します。"_sjis));
      QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  }
};

TEST_F(ScreenshotTest, ConditionsDialogForBothTaxationMethods) {
  {
    ConditionsDialog dialog(0);
    Fill(dialog);
    dialog.displayTexts[0] = " 株式会社さくら商事"_sjis;
    Capture(dialog, "dialog130-standard", true);
  }
  ConditionsDialog dialog(0);
  Fill(dialog);
  dialog.displayTexts[0] = " みどり工房株式会社"_sjis;
  dialog.displayTexts[2] = " 簡易課税"_sjis;
  dialog.displayTexts[3] = "主となる事業分類"_sjis;
  dialog.displayTexts[4] = " 第五種事業 サービス業"_sjis;
  dialog.filingClassCode = 1;
  dialog.savedReturnUsable = 0;
  Capture(dialog, "dialog130-simplified", false);
}

TEST_F(ScreenshotTest, RefusalAndOverwriteQuestion) {
  std::ofstream(dir_.PosixOf("out/tax.xml")) << "old";
  ConditionsDialog dialog(0);
  Fill(dialog);
  WidgetDriver driver;
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    TypeInto(w, kIdcStartMonth, "13");
    Press(w, Qt::Key_F12);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    SaveScreenshot(box, "message-refusal");
    QTest::keyClick(&box, Qt::Key_Return);
  });
  driver.OnDialog(kIddConditions, [](DialogWindow& w) {
    TypeInto(w, kIdcStartMonth, "4");
    TypeInto(w, kIdcOutputPath, "C:\\out\\tax.xml");
    Press(w, Qt::Key_F12);
  });
  driver.OnMessageBox([](QMessageBox& box) {
    SaveScreenshot(box, "message-overwrite");
    // Esc on a question is No: the dialog stays open.
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  driver.OnDialog(kIddConditions, [](DialogWindow& w) { Press(w, Qt::Key_Escape); });
  driver.OnMessageBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
  EXPECT_EQ(dialog.DoModal(), kConditionsCancelled);
  const auto& entries = ui_->Transcript().Entries();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[1]["buttons"], "yesno");
  EXPECT_EQ(entries[1]["answer"], "no");
}

TEST_F(ScreenshotTest, ProgressWindowShowsBothBarsAndThePercentage) {
  ProgressDialog progress;
  progress.CreateModeless();
  progress.ShowWindow(true);
  progress.ResetOverall();
  progress.overallAdvance(0, 420);
  for (int i = 0; i < 6; ++i) progress.detailTick();
  DialogWindow* window = ui_->WindowOf(progress.Handle());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  // The throttled window catches up with the model on its next repaint.
  window->Refresh();
  EXPECT_EQ(window->windowTitle(), Shown("集計中 42％"_sjis));
  EXPECT_EQ(static_cast<QProgressBar&>(Control(*window, kIdcOverallBar)).value(), 421);
  EXPECT_EQ(static_cast<QProgressBar&>(Control(*window, kIdcDetailBar)).value(), 6);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
  SaveScreenshot(*window, "progress");
  progress.End();
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
