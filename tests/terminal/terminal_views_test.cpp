// The terminal front end without a terminal: dialogs, message boxes and the
// save-as dialog painted into a cell grid and driven by keys.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/RepaintThrottle.h"
#include "platform/dialog/UserInterface.h"
#include "resources/ConditionsDialogTemplate.h"
#include "resources/ProgressDialogTemplate.h"
#include "terminal/CellGrid.h"
#include "terminal/CellText.h"
#include "terminal/DialogView.h"
#include "terminal/MessageBoxView.h"
#include "terminal/SaveAsView.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/SjisLiteral.h"

namespace {

using terminal::CellGrid;
using terminal::DialogView;
using terminal::Key;

// Cell widths come from the locale, as in the terminal.
const bool kUtf8Locale = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;

class ModalDialog : public platform::Dialog {
 public:
  explicit ModalDialog(const platform::DialogTemplate& t) : platform::Dialog(t, 0) {
    SetModal(true);
    Create();
  }
};

// The cell column where text starts on a row of the grid, or -1.
int ColumnOf(const CellGrid& grid, int row, const std::wstring& text) {
  std::wstring line = grid.RowText(row);
  std::size_t at = line.find(text);
  if (at == std::wstring::npos) return -1;
  int col = 0;
  for (int c = 0; c < grid.Cols() && at > 0; ++c) {
    if (!grid.At(row, c).continuation) --at;
    col = c + 1;
  }
  while (col < grid.Cols() && grid.At(row, col).continuation) ++col;
  return col;
}

int RowOf(const CellGrid& grid, const std::wstring& text) {
  for (int r = 0; r < grid.Rows(); ++r) {
    if (grid.RowText(r).find(text) != std::wstring::npos) return r;
  }
  return -1;
}

Key Char(wchar_t c, bool alt = false) {
  Key key;
  key.kind = Key::kChar;
  key.ch = c;
  key.alt = alt;
  return key;
}

Key Press(Key::Kind kind) {
  Key key;
  key.kind = kind;
  return key;
}

TEST(TerminalViewTest, ConditionsDialogKeepsItsLayoutIn80By24) {
  ASSERT_TRUE(kUtf8Locale);
  ModalDialog dialog(taxlink::ConditionsDialogTemplate());
  // A fourth-row caption longer than its label: cut before the colon.
  dialog.SetItemText(taxlink::kIdcFourthRowLabel, "課税仕入控除の計算方法と特例の適用"_sjis);
  CellGrid grid(24, 80);
  DialogView view(dialog);
  // Named first: clang 14 crashes constant-folding the literal inside the
  // vector's initializer.
  const char* const tipText = "説明"_sjis;
  std::vector<mvhost::ToolTip> tips = {{taxlink::kIdcSavedValuesTip, tipText, 1}};
  view.Paint(grid, true, tips);

  // Labels two rows apart as designed, and their colons in one column although
  // the labels differ in length (full-width characters take two cells).
  const std::wstring labels[] = {L"事業所名", L"会計期間", L"消費税申告区分", L"課税仕入控除"};
  int firstRow = RowOf(grid, labels[0]);
  int colon = ColumnOf(grid, firstRow, L"：");
  ASSERT_GT(colon, 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(RowOf(grid, labels[i]), firstRow + 2 * i) << i;
    EXPECT_EQ(ColumnOf(grid, firstRow + 2 * i, L"："), colon) << i;
  }
  EXPECT_EQ(grid.RowText(firstRow + 6).find(L"方法と"), std::wstring::npos);
  int monthRow = RowOf(grid, L"月度(S)");
  EXPECT_EQ(ColumnOf(grid, monthRow, L"："), colon);
  EXPECT_GT(ColumnOf(grid, monthRow, L"月度(S)"), colon);

  // Whole texts, the mark of the tooltip beside the radio button it explains.
  int radioRow = RowOf(grid, L"( ) 連動元製品の[消費税申告書作成]で入力した値を使用する(P)");
  EXPECT_GT(radioRow, 0);
  EXPECT_GE(ColumnOf(grid, radioRow, L"[?]"), 0);
  int buttonRow = RowOf(grid, L"実行(F12)");
  EXPECT_GE(ColumnOf(grid, buttonRow, L"キャンセル(Esc)"), 0);
  EXPECT_LT(buttonRow, 23);
  EXPECT_EQ(grid.RowText(0).find(L"消費税 - 集計条件"), 3u);

  // The help line names the keys, and shows the tooltip while the focus is
  // on the line of the control that carries it.
  EXPECT_NE(view.HelpLine(grid, tips).find(L"F12/Ctrl+R:実行  Esc:キャンセル"), std::wstring::npos);
  dialog.SetFocusTo(taxlink::kIdcSavedReturnValues);
  EXPECT_EQ(view.HelpLine(grid, tips), L"[?] 説明  F1:全文");
}

// Esc was refused too while the terminal was small (Ctrl+C the only way
// out), a message box garbled the notice and the notice was cut at 40x10.
TEST(TerminalViewTest, EscWorksAtAnySizeAndTheNoticeWraps) {
  struct Case {
    int rows;
    int cols;
    bool fits;
  } cases[] = {{23, 80, true}, {22, 80, false}, {40, 79, false}, {50, 200, true}, {10, 40, false}};
  for (const Case& c : cases) {
    ModalDialog dialog(taxlink::ConditionsDialogTemplate());
    CellGrid grid(c.rows, c.cols);
    DialogView view(dialog);
    view.Paint(grid, true, {});
    std::wstring screen;
    for (int r = 0; r < grid.Rows(); ++r) screen += grid.RowText(r);
    std::wstring spaceless;
    for (wchar_t ch : screen) {
      if (ch != L' ') spaceless.push_back(ch);
    }
    EXPECT_EQ(RowOf(grid, L"事業所名") >= 0, c.fits) << c.rows << "x" << c.cols;
    EXPECT_EQ(spaceless.find(L"この画面には80x23以上が必要です（いまは" + std::to_wstring(c.cols) +
                             L"x" + std::to_wstring(c.rows) + L"）。端末を広げてください。") !=
                  std::wstring::npos,
              !c.fits)
        << c.rows << "x" << c.cols;
    // Other keys wait for room; Esc cancels at any size.
    EXPECT_EQ(view.HandleKey(Press(Key::kTab), grid) == DialogView::Outcome::kRefused, !c.fits);
    EXPECT_EQ(view.HandleKey(Press(Key::kEscape), grid), DialogView::Outcome::kDone);
    EXPECT_TRUE(dialog.IsEnded());
  }
  // A message box that does not fit waits for room behind the notice; Esc
  // still gives its safe answer.
  terminal::MessageBoxView box("｢消費税｣の集計を中止します。"_sjis, "消費税"_sjis,
                               MB_ICONQUESTION | MB_YESNO);
  CellGrid small(6, 40);
  box.Paint(small);
  EXPECT_GE(RowOf(small, L"端末が小さすぎます。"), 0);
  EXPECT_LT(RowOf(small, L"中止します"), 0);
  EXPECT_EQ(box.HandleKey(Press(Key::kEnter)), "");
  EXPECT_EQ(box.HandleKey(Press(Key::kEscape)), "no");
  CellGrid large(24, 80);
  box.Paint(large);
  EXPECT_GE(RowOf(large, L"中止します"), 0);
  EXPECT_EQ(box.HandleKey(Press(Key::kEnter)), "yes");
}

// A mnemonic letter alone did nothing outside an edit.
TEST(TerminalViewTest, AMnemonicLetterAloneWorksOutsideAnEdit) {
  ModalDialog dialog(taxlink::ConditionsDialogTemplate());
  CellGrid grid(24, 80);
  DialogView view(dialog);
  ASSERT_TRUE(dialog.UserFocus(taxlink::kIdcRunButton));
  view.HandleKey(Char(L'p'), grid);
  EXPECT_TRUE(dialog.IsChecked(taxlink::kIdcSavedReturnValues));
  view.HandleKey(Char(L'o'), grid);
  EXPECT_EQ(dialog.GetFocusId(), taxlink::kIdcOutputPath);
  view.HandleKey(Char(L'o'), grid);  // in the edit it is typed
  EXPECT_EQ(dialog.GetItemText(taxlink::kIdcOutputPath), "o");
}

// Disabled controls looked enabled without a dim attribute, and ～ was
// lost in the EUC-JP and Shift_JIS locales.
TEST(TerminalViewTest, DisabledControlsAndTheTildeShowInEveryLocale) {
  ModalDialog dialog(taxlink::ConditionsDialogTemplate());
  dialog.EnableItem(taxlink::kIdcBrowseButton, false);
  dialog.EnableItem(taxlink::kIdcByJournals, false);
  dialog.EnableItem(taxlink::kIdcSavedReturnValues, false);
  dialog.CheckRadioButton(taxlink::kIdcByJournals, taxlink::kIdcSavedReturnValues,
                          taxlink::kIdcByJournals);
  CellGrid grid(24, 80);
  DialogView(dialog).Paint(grid, true, {});
  std::wstring browse = grid.RowText(RowOf(grid, L"参照(D)..."));
  EXPECT_EQ(browse.find(L'['), std::wstring::npos) << "a disabled button keeps its brackets";
  EXPECT_GE(RowOf(grid, L" *  集計期間を指定して"), 0);
  EXPECT_LT(RowOf(grid, L"(*)"), 0);

  taxlink_test::ScopedTempDir locales;
  taxlink_test::ScopedEnv path("LOCPATH", locales.Path());
  for (const char* charmap : {"SHIFT_JIS", "EUC-JP"}) {
    std::string name = std::string("ja_JP.") + charmap;
    std::string command = "localedef -c -i ja_JP -f " + std::string(charmap) + " '" +
                          locales.Path() + "/" + name + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) < 0 || std::setlocale(LC_CTYPE, name.c_str()) == nullptr) {
      std::setlocale(LC_CTYPE, "C.UTF-8");
      GTEST_SKIP() << "the locale " << name << " cannot be made here (localedef, locales)";
    }
    EXPECT_EQ(terminal::ShowableForm(L'\uFF5E'), L'\u301C') << charmap;
    EXPECT_EQ(terminal::CellWidth(L'\uFF5E'), 2) << charmap;
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
}

TEST(TerminalViewTest, EditingKeysEndInTheModelsTyping) {
  ModalDialog dialog(taxlink::ConditionsDialogTemplate());
  dialog.LimitText(taxlink::kIdcStartMonth, 2);
  CellGrid grid(24, 80);
  DialogView view(dialog);
  ASSERT_EQ(dialog.GetFocusId(), taxlink::kIdcStartMonth);
  struct Step {
    Key key;
    bool taken;
    std::string text;
  } steps[] = {
      {Char(L'1'), true, "1"},
      {Char(L'a'), false, "1"},  // digits only
      {Char(L'2'), true, "12"},
      {Press(Key::kHome), true, "12"},
      {Char(L'3'), false, "12"},  // the limit: nothing is pushed out
      {Press(Key::kDelete), true, "2"},
      {Char(L'9'), true, "92"},
      {Press(Key::kBackspace), true, "2"},
  };
  for (const Step& step : steps) {
    DialogView::Outcome outcome = view.HandleKey(step.key, grid);
    EXPECT_EQ(outcome == DialogView::Outcome::kDone, step.taken) << step.text;
    EXPECT_EQ(dialog.GetItemText(taxlink::kIdcStartMonth), step.text);
  }

  // A double-byte character goes whole, and Tab selects the next edit so
  // that typing replaces its text.
  dialog.SetItemText(taxlink::kIdcOutputPath, "C:\\表\\a"_sjis);
  dialog.UserFocus(taxlink::kIdcOutputPath);
  dialog.SetSel(taxlink::kIdcOutputPath, 5, 5);  // after 表
  view.HandleKey(Press(Key::kBackspace), grid);
  EXPECT_EQ(dialog.GetItemText(taxlink::kIdcOutputPath), "C:\\\\a");
  view.HandleKey(Char(L'表'), grid);
  EXPECT_EQ(dialog.GetItemText(taxlink::kIdcOutputPath), "C:\\表\\a"_sjis);
  view.HandleKey(Press(Key::kLeft), grid);  // back over the whole character
  view.HandleKey(Press(Key::kDelete), grid);
  EXPECT_EQ(dialog.GetItemText(taxlink::kIdcOutputPath), "C:\\\\a");
  dialog.UserFocus(taxlink::kIdcStartMonth);
  view.HandleKey(Press(Key::kTab), grid);
  view.HandleKey(Char(L'7'), grid);
  EXPECT_EQ(dialog.GetItemText(taxlink::kIdcEndMonth), "7");
}

TEST(TerminalViewTest, MessageBoxButtonsAndKeys) {
  struct Case {
    uint32_t style;
    std::vector<Key> keys;
    std::string answer;
  } cases[] = {
      {MB_OK, {Press(Key::kEnter)}, "ok"},
      {MB_OK, {Press(Key::kEscape)}, "ok"},
      {MB_OKCANCEL, {Press(Key::kEscape)}, "cancel"},
      {MB_OKCANCEL, {Press(Key::kTab), Press(Key::kEnter)}, "cancel"},
      {MB_YESNO, {Press(Key::kEscape), Press(Key::kEnter)}, "yes"},  // Esc is no answer
      {MB_YESNO, {Char(L'n')}, "no"},
      {MB_YESNO, {Press(Key::kRight), Char(L' ')}, "no"},
  };
  for (const Case& c : cases) {
    terminal::MessageBoxView view("本文"_sjis, "消費税"_sjis, c.style);
    std::string answer;
    for (const Key& key : c.keys) answer = view.HandleKey(key);
    EXPECT_EQ(answer, c.answer) << c.style;
  }
  terminal::MessageBoxView view(
      "集計範囲に事業分類「第六種事業」の仕訳が存在します。とても長い一行の文章です。"_sjis,
      "消費税"_sjis, MB_ICONWARNING | MB_YESNO);
  CellGrid grid(24, 60);
  view.Paint(grid);
  EXPECT_GE(RowOf(grid, L"[警告]"), 0);
  EXPECT_GE(RowOf(grid, L"[ はい(Y) ]  [ いいえ(N) ]"), 0);
  EXPECT_GE(RowOf(grid, L"文章です。"), 0);  // wrapped, not cut
}

TEST(TerminalViewTest, SaveAsListsTheFolderAndComposesThePath) {
  taxlink_test::ScopedEnv drives("TAXLINK_DRIVES", "C=/");
  taxlink_test::ScopedTempDir dir;
  dir.WriteFile("sub/inner.xml", "");
  dir.WriteFile("a.xml", "");
  dir.WriteFile("b.txt", "");
  dir.WriteFile("\xE8\xA1\xA8.XML", "");  // 表.XML, in UTF-8 on disk
  std::string folder = taxlink::testing::WindowsPathOf(dir.Path()) + "\\";
  platform::SaveFileRequest request;
  request.defaultExtension = "XML";
  request.fileName = "*.xml";
  request.initialFolder = folder;
  request.filter = "Xml Files (*.xml)|*.xml||";
  request.title = "保存ファイルを指定"_sjis;
  request.flags = 0x180C;
  terminal::SaveAsView view(request);
  std::vector<std::string> names;
  for (const auto& entry : view.Entries()) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"..", "sub", "a.xml", "表.XML"_sjis}));

  using Outcome = terminal::SaveAsView::Outcome;
  view.HandleKey(Press(Key::kTab));  // to the list
  view.HandleKey(Press(Key::kDown));
  EXPECT_EQ(view.HandleKey(Press(Key::kEnter)), Outcome::kContinue);
  EXPECT_EQ(view.Folder(), folder + "sub\\");
  view.HandleKey(Press(Key::kBackspace));
  EXPECT_EQ(view.Folder(), folder);
  view.HandleKey(Press(Key::kEnd));  // offers the file's name
  EXPECT_EQ(view.Name(), "表.XML"_sjis);

  view.HandleKey(Press(Key::kTab));  // back to the name
  for (int i = 0; i < 10; ++i) view.HandleKey(Press(Key::kBackspace));
  for (wchar_t c : std::wstring(L"nope\\tax")) view.HandleKey(Char(c));
  EXPECT_EQ(view.HandleKey(Press(Key::kEnter)), Outcome::kContinue);  // no such folder
  for (int i = 0; i < 8; ++i) view.HandleKey(Press(Key::kBackspace));
  for (wchar_t c : std::wstring(L"tax")) view.HandleKey(Char(c));
  ASSERT_EQ(view.HandleKey(Press(Key::kEnter)), Outcome::kConfirmed);
  EXPECT_EQ(view.ChosenPath(), folder + "tax.xml");  // as the desktop adds it
  EXPECT_EQ(view.HandleKey(Press(Key::kEscape)), Outcome::kCancelled);
}

// No drive list, nothing to show that more entries follow, a missing start
// folder opened the program's folder.
TEST(TerminalViewTest, SaveAsListsTheDrivesShowsWhatFollowsAndStartsNearby) {
  taxlink_test::ScopedTempDir dir;
  for (int i = 0; i < 30; ++i) dir.WriteFile("f" + std::to_string(100 + i) + ".xml", "");
  dir.WriteFile("d/keep", "");
  taxlink_test::ScopedEnv drives("TAXLINK_DRIVES",
                                 "C=/;D=" + dir.Path() + "/d;E=" + dir.Path() + "/none");
  std::string folder = taxlink::testing::WindowsPathOf(dir.Path()) + "\\";
  platform::SaveFileRequest request;
  request.initialFolder = folder + "gone\\away\\";  // two levels missing
  request.filter = "Xml Files (*.xml)|*.xml||";
  request.title = "保存ファイルを指定"_sjis;
  terminal::SaveAsView view(request);
  EXPECT_EQ(view.Folder(), folder);
  ASSERT_FALSE(view.Entries().empty());
  EXPECT_EQ(view.Entries().back().name, "D:\\");  // E: has no folder
  CellGrid grid(24, 80);
  view.Paint(grid);
  EXPECT_GE(RowOf(grid, L"↓ あと"), 0);
  view.HandleKey(Press(Key::kTab));
  view.HandleKey(Press(Key::kEnd));
  view.Paint(grid);
  EXPECT_LT(RowOf(grid, L"↓ あと"), 0);
  EXPECT_GE(RowOf(grid, L"↑ ほかに"), 0);
  view.HandleKey(Press(Key::kEnter));  // the drive
  EXPECT_EQ(view.Folder(), "D:\\");
}

// The clock of the throttle tests, set in milliseconds.
int64_t fakeNow = 0;
int64_t FakeClock() { return fakeNow * 1'000'000; }

TEST(TerminalViewTest, ProgressRepaintsAtMostThirtyTimesASecondAndIsNotHeldBack) {
  fakeNow = 0;
  platform::RepaintThrottle fast(platform::RepaintThrottle::kDefaultIntervalNs, FakeClock);
  int repaints = 0;
  // Ten million reports in one second, the clock moving every 1000.
  for (int i = 0; i < 10'000'000; ++i) {
    if (i % 1000 == 0) fakeNow = i / 10'000;
    if (fast.Due()) ++repaints;
  }
  EXPECT_LE(repaints, 31);
  EXPECT_GE(repaints, 25);

  // Then a report every 20 ms: within one batch (at most 256 reports) the
  // clock is read again, and from then on every other report repaints.
  int firstSlowRepaint = -1;
  int64_t lastRepaint = 0;
  for (int i = 0; i < 400; ++i) {
    fakeNow += 20;
    if (!fast.Due()) continue;
    if (firstSlowRepaint < 0) {
      firstSlowRepaint = i;
    } else {
      EXPECT_LE(fakeNow - lastRepaint, 40) << i;
    }
    lastRepaint = fakeNow;
  }
  EXPECT_GE(firstSlowRepaint, 0);
  EXPECT_LE(firstSlowRepaint, 256);
}

TEST(TerminalViewTest, ProgressWindowShowsBothBarsAndItsCaption) {
  platform::Dialog progress(taxlink::ProgressDialogTemplate(), 0);
  progress.SetModal(true);  // no front end involved
  progress.Create();
  progress.SetCaption("集計中 50％"_sjis);
  progress.ProgressSetRange(taxlink::kIdcOverallBar, 0, 1000);
  progress.ProgressSetPos(taxlink::kIdcOverallBar, 500);
  progress.ProgressSetRange(taxlink::kIdcDetailBar, 0, 10);
  progress.ProgressSetPos(taxlink::kIdcDetailBar, 10);
  CellGrid grid(24, 80);
  DialogView(progress).Paint(grid, true, {});
  int captionRow = RowOf(grid, L"集計中 50％");
  ASSERT_GE(captionRow, 0);
  auto filled = [&](int row) {
    int cells = 0;
    for (int c = 0; c < grid.Cols(); ++c)
      cells += (grid.At(row, c).attributes & terminal::kReverse) != 0;
    return cells;
  };
  // Below a blank row the overall bar takes two rows, half filled and
  // smooth, and the detail bar one row, full and in blocks.
  int overall = filled(captionRow + 2);
  EXPECT_EQ(filled(captionRow + 1), 0);
  EXPECT_EQ(filled(captionRow + 3), overall);
  EXPECT_GT(overall, 30);
  int detail = filled(captionRow + 4);
  EXPECT_GT(detail, overall);
  EXPECT_LT(detail, 2 * overall) << "the detail bar has no gaps between its blocks";
}

TEST(TerminalViewTest, MessagesWrapByCellsAndKeepPunctuationOffALineStart) {
  struct Case {
    std::wstring text;
    int cells;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"あいうえ", 5, {L"あい", L"うえ"}},  // a full-width character is never split
      {L"あいう。", 6, {L"あい", L"う。"}},  // 。 takes う along
      {L"ab\n\nc", 9, {L"ab", L"", L"c"}},
      {L"｢消費税｣", 4, {L"｢消", L"費", L"税｣"}},  // half-width brackets take one cell
  };
  for (const Case& c : cases) {
    EXPECT_EQ(terminal::WrapCells(c.text, c.cells), c.lines) << c.cells;
  }
}

TEST(TerminalViewTest, OverwritingHalfAFullWidthCharacterBlanksTheOtherHalf) {
  CellGrid grid(1, 6);
  grid.Put(0, 0, L"表示", 0);
  grid.Put(0, 1, L"a", 0);
  grid.Put(0, 2, L"b", 0);
  EXPECT_EQ(grid.RowText(0), L" ab   ");
}

}  // namespace
