#include "aggregation/ProgressDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/dialog/UserInterface.h"
#include "resources/ProgressDialogTemplate.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

// Counts the front-end notifications of modeless dialogs.
class CountingUi : public platform::UserInterface {
 public:
  int MessageBox(HWND, std::string_view, std::string_view, uint32_t) override { return IDOK; }
  int RunModal(platform::Dialog&) override { return IDCANCEL; }
  void ModelessChanged(platform::Dialog&) override { ++changes; }
  void ModelessDestroyed(platform::Dialog&) override {}
  bool GetSaveFileName(platform::SaveFileRequest&) override { return false; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  int changes = 0;
};

// Records every percentage caption the window sets.
class RecordingProgress : public ProgressDialog {
 public:
  std::vector<std::string> captions;

 protected:
  void ShowPercent(int percent) override {
    ProgressDialog::ShowPercent(percent);
    captions.push_back(Caption());
  }
};

class ProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto ui = std::make_unique<CountingUi>();
    ui_ = ui.get();
    previous_ = platform::SetUi(std::move(ui));
    dialog_.CreateModeless();
  }
  void TearDown() override { platform::SetUi(std::move(previous_)); }

  const platform::Control& Bar(int id) const { return *dialog_.GetControl(id); }

  CountingUi* ui_ = nullptr;
  std::unique_ptr<platform::UserInterface> previous_;
  RecordingProgress dialog_;
};

TEST(ProgressDialogTemplateTest, MatchesDialog131) {
  const platform::DialogTemplate& t = ProgressDialogTemplate();
  EXPECT_EQ(t.id, 131);
  EXPECT_STREQ(t.caption, "集計中"_sjis);
  EXPECT_EQ(t.rect.width, 221);
  EXPECT_EQ(t.rect.height, 44);
  EXPECT_EQ(t.style & platform::kDialogVisible, 0u);
  EXPECT_EQ(t.style & platform::kDialogSysMenu, 0u);
  EXPECT_NE(t.style & platform::kDialogSystemModal, 0u);
  ASSERT_EQ(t.controls.size(), 2u);
  EXPECT_EQ(t.controls[0].id, kIdcOverallBar);
  EXPECT_EQ(t.controls[0].kind, platform::ControlKind::kProgressBar);
  EXPECT_NE(t.controls[0].style & platform::kStyleSmooth, 0u);
  EXPECT_EQ(t.controls[0].rect.height, 22);
  EXPECT_EQ(t.controls[1].id, kIdcDetailBar);
  EXPECT_EQ(t.controls[1].style & platform::kStyleSmooth, 0u);
  EXPECT_EQ(t.controls[1].rect.y, 29);
}

TEST_F(ProgressDialogTest, CreatedHiddenWithBothBarsBound) {
  EXPECT_TRUE(dialog_.IsCreated());
  EXPECT_FALSE(dialog_.IsVisible());
  EXPECT_TRUE(dialog_.barsBound());
  EXPECT_EQ(dialog_.Caption(), "集計中"_sjis);
  EXPECT_EQ(dialog_.detailTickCounter(), 0);
}

TEST_F(ProgressDialogTest, FirstQuarterMakes251StepsAnd26Captions) {
  dialog_.ResetOverall();
  dialog_.overallAdvance(0, 250);
  EXPECT_EQ(Bar(kIdcOverallBar).position, 251);
  EXPECT_EQ(Bar(kIdcOverallBar).rangeMax, 1000);
  ASSERT_EQ(dialog_.captions.size(), 26u);
  EXPECT_EQ(dialog_.captions.front(), "集計中 0％"_sjis);
  EXPECT_EQ(dialog_.captions[13], "集計中 13％"_sjis);
  EXPECT_EQ(dialog_.captions.back(), "集計中 25％"_sjis);
  // Each step: eleven sweep repaints and one of its own.
  EXPECT_EQ(dialog_.RepaintCount(), 251 * 12);
}

TEST_F(ProgressDialogTest, WholeRunEndsAt100PercentAfter1004Steps) {
  dialog_.ResetOverall();
  dialog_.overallAdvance(0, 250);
  dialog_.overallAdvance(250, 500);
  dialog_.overallAdvance(500, 750);
  dialog_.overallAdvance(750, 1000);
  EXPECT_EQ(dialog_.Caption(), "集計中 100％"_sjis);
  // 1004 steps on a 0..1000 bar: the step to 1001 wraps to 0, three more follow.
  EXPECT_EQ(Bar(kIdcOverallBar).position, 3);
  EXPECT_EQ(dialog_.captions.size(), 26u * 4);
  EXPECT_EQ(dialog_.RepaintCount(), 1004 * 12);
  // Each step's sweep of the detail bar: 22 raises, and the bar as one more
  // sweep leaves it.
  EXPECT_EQ(dialog_.RaiseCount(), 1004 * 22);
  const platform::Control after = Bar(kIdcDetailBar);
  dialog_.ProgressSetPos(kIdcDetailBar, 4);
  dialog_.detailSweep();
  EXPECT_EQ(Bar(kIdcDetailBar).position, after.position);
  EXPECT_EQ(Bar(kIdcDetailBar).rangeMax, after.rangeMax);
}

TEST_F(ProgressDialogTest, FromGreaterThanToDoesNothing) {
  dialog_.ResetOverall();
  int changesBefore = ui_->changes;
  dialog_.overallAdvance(10, 9);
  EXPECT_EQ(Bar(kIdcOverallBar).position, 0);
  EXPECT_TRUE(dialog_.captions.empty());
  EXPECT_EQ(dialog_.Caption(), "集計中"_sjis);
  EXPECT_EQ(dialog_.RepaintCount(), 0);
  EXPECT_EQ(ui_->changes, changesBefore);
}

TEST_F(ProgressDialogTest, DetailSweepMakesElevenStepsOnATenStepBar) {
  dialog_.ProgressSetRange(kIdcDetailBar, 0, 100);
  dialog_.ProgressSetPos(kIdcDetailBar, 37);
  dialog_.detailSweep();
  const platform::Control& bar = Bar(kIdcDetailBar);
  EXPECT_EQ(bar.rangeMin, 0);
  EXPECT_EQ(bar.rangeMax, 10);
  EXPECT_EQ(bar.step, 1);
  // Ten steps reach 10; the eleventh starts the bar over at 0.
  EXPECT_EQ(bar.position, 0);
  EXPECT_EQ(dialog_.RepaintCount(), 11);
}

// n sweeps given at once leave the bar and the counts where n sweeps do.
TEST_F(ProgressDialogTest, SweepsAtOnceEndWhereSingleSweepsDo) {
  for (uint64_t n : {0ull, 1ull, 2ull, 300ull}) {
    RecordingProgress single;
    RecordingProgress batched;
    for (RecordingProgress* d : {&single, &batched}) {
      d->CreateModeless();
      d->ProgressSetRange(kIdcDetailBar, 2, 70);
      d->ProgressSetPos(kIdcDetailBar, 37);
    }
    for (uint64_t i = 0; i < n; ++i) single.detailSweep();
    batched.detailSweeps(n);
    SCOPED_TRACE(std::to_string(n) + " sweeps");
    const platform::Control& a = *single.GetControl(kIdcDetailBar);
    const platform::Control& b = *batched.GetControl(kIdcDetailBar);
    EXPECT_EQ(std::tie(b.rangeMin, b.rangeMax, b.step, b.position),
              std::tie(a.rangeMin, a.rangeMax, a.step, a.position));
    EXPECT_EQ(batched.RepaintCount(), single.RepaintCount());
    EXPECT_EQ(batched.RaiseCount(), single.RaiseCount());
  }
}

TEST_F(ProgressDialogTest, DetailTickRunsAnElevenCallCycle) {
  dialog_.ResetDetail();
  for (int call = 1; call <= 10; ++call) {
    int64_t raisesBefore = dialog_.RaiseCount();
    dialog_.detailTick();
    EXPECT_EQ(dialog_.detailTickCounter(), call);
    EXPECT_EQ(Bar(kIdcDetailBar).position, call);
    // Only the repaint: the window is not brought to the front.
    EXPECT_EQ(dialog_.RaiseCount(), raisesBefore) << "call " << call;
  }
  int64_t raisesBefore = dialog_.RaiseCount();
  dialog_.detailTick();
  EXPECT_EQ(dialog_.detailTickCounter(), 0);
  // Reset to 0, then stepped once.
  EXPECT_EQ(Bar(kIdcDetailBar).position, 1);
  // Brought to the top, made foreground, repainted.
  EXPECT_EQ(dialog_.RaiseCount() - raisesBefore, 2);
  EXPECT_EQ(dialog_.RepaintCount(), 11);
  dialog_.detailTick();
  EXPECT_EQ(dialog_.detailTickCounter(), 1);
  EXPECT_EQ(Bar(kIdcDetailBar).position, 2);
}

// A shown window whose detail bar has taken `start` ticks; a negative start
// gives the bar another range instead.
void OpenAfterTicks(RecordingProgress& d, int start) {
  d.CreateModeless();
  d.ResetDetail();
  if (start < 0) d.ProgressSetRange(kIdcDetailBar, 2, 7);
  for (int i = 0; i < start; ++i) d.detailTick();
}

// n ticks given at once leave the bar, the counter and the window where n
// single ticks do, with one repaint.
TEST_F(ProgressDialogTest, TicksAtOnceEndWhereSingleTicksDo) {
  for (int start : {0, 3, 10, -1}) {  // -1: a bar of another range
    for (uint64_t n :
         {0ull, 1ull, 9ull, 10ull, 11ull, 12ull, 21ull, 22ull, 23ull, 57ull, 1000003ull}) {
      RecordingProgress single;
      RecordingProgress batched;
      for (RecordingProgress* d : {&single, &batched}) OpenAfterTicks(*d, start);
      const int64_t raisesBefore = single.RaiseCount();
      for (uint64_t i = 0; i < n; ++i) single.detailTick();
      batched.detailTicks(n);
      SCOPED_TRACE("start " + std::to_string(start) + ", " + std::to_string(n) + " ticks");
      EXPECT_EQ(batched.detailTickCounter(), single.detailTickCounter());
      EXPECT_EQ(batched.GetControl(kIdcDetailBar)->position,
                single.GetControl(kIdcDetailBar)->position);
      EXPECT_EQ(batched.RaiseCount() > raisesBefore, single.RaiseCount() > raisesBefore);
      EXPECT_EQ(batched.RepaintCount() - std::max(start, 0), n == 0 ? 0 : 1);
    }
  }
}

// The ticks of many records at once leave what a call per record leaves,
// with the raises and repaints of every call counted.
TEST_F(ProgressDialogTest, TicksOfManyRecordsEndWhereOneCallEachDoes) {
  for (int start : {0, 3, 10, -1}) {  // -1: a bar of another range
    for (uint64_t perRecord : {1ull, 10ull, 11ull, 12ull, 301ull}) {
      for (uint64_t records : {0ull, 1ull, 2ull, 1025ull}) {
        RecordingProgress single;
        RecordingProgress batched;
        for (RecordingProgress* d : {&single, &batched}) OpenAfterTicks(*d, start);
        for (uint64_t i = 0; i < records; ++i) single.detailTicks(perRecord);
        batched.detailTicksEach(perRecord, records);
        SCOPED_TRACE("start " + std::to_string(start) + ", " + std::to_string(records) + " x " +
                     std::to_string(perRecord));
        EXPECT_EQ(batched.detailTickCounter(), single.detailTickCounter());
        EXPECT_EQ(batched.GetControl(kIdcDetailBar)->position,
                  single.GetControl(kIdcDetailBar)->position);
        EXPECT_EQ(batched.RaiseCount(), single.RaiseCount());
        EXPECT_EQ(batched.RepaintCount(), single.RepaintCount());
      }
    }
  }
}

// The front end hears of every change of state at once, of repaints at most
// about 30 times a second.
TEST_F(ProgressDialogTest, FrontEndRepaintsAreThrottled) {
  dialog_.ShowWindow(true);
  int before = ui_->changes;
  for (int i = 0; i < 100000; ++i) dialog_.detailTick();
  EXPECT_LE(ui_->changes - before, 10);
  before = ui_->changes;
  dialog_.End();
  EXPECT_EQ(ui_->changes - before, 1);
}

TEST_F(ProgressDialogTest, CompleteDetailSetsTheEndState) {
  dialog_.ResetDetail();
  dialog_.detailTick();
  dialog_.CompleteDetail();
  EXPECT_EQ(Bar(kIdcDetailBar).position, 10);
  EXPECT_EQ(dialog_.detailTickCounter(), 10);
  // The next tick starts a new cycle.
  dialog_.detailTick();
  EXPECT_EQ(dialog_.detailTickCounter(), 0);
  EXPECT_EQ(Bar(kIdcDetailBar).position, 1);
}

TEST_F(ProgressDialogTest, EndHidesWithoutDestroying) {
  dialog_.ShowWindow(true);
  dialog_.End();
  EXPECT_FALSE(dialog_.IsVisible());
  EXPECT_TRUE(dialog_.IsEnded());
  EXPECT_EQ(dialog_.Result(), 1);
  EXPECT_TRUE(dialog_.IsCreated());
}

}  // namespace
}  // namespace taxlink
