// The dialog model: focus and tab order, radio groups, typing rules, keys
// and progress bars.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/DialogTemplate.h"
#include "platform/text/WinTypes.h"
#include "tests/support/SjisLiteral.h"

namespace {

using platform::ControlKind;
using platform::Dialog;
using platform::DialogTemplate;

constexpr uint32_t kTab = platform::kStyleTabStop;
constexpr uint32_t kGroup = platform::kStyleGroup;

DialogTemplate MakeTemplate(uint32_t dialogStyle) {
  return DialogTemplate{200,
                        "テスト"_sjis,
                        {0, 0, 200, 100},
                        "ＭＳ Ｐゴシック"_sjis,
                        9,
                        dialogStyle,
                        {
                            {-1, ControlKind::kLabel, {}, "月度"_sjis, 0},
                            {10, ControlKind::kEdit, {}, "", kTab | platform::kStyleNumber},
                            {11, ControlKind::kEdit, {}, "", kTab},
                            {12, ControlKind::kEdit, {}, "", kTab | platform::kStyleDisabled},
                            {13, ControlKind::kGroupBox, {}, "方法"_sjis, 0},
                            {20, ControlKind::kRadioButton, {}, "A", kTab | kGroup},
                            {21, ControlKind::kRadioButton, {}, "B", kTab},
                            {30, ControlKind::kRadioButton, {}, "C", kTab | kGroup},
                            {31, ControlKind::kRadioButton, {}, "D", kTab},
                            {40, ControlKind::kPushButton, {}, "実行"_sjis, kTab | kGroup},
                            {IDCANCEL, ControlKind::kPushButton, {}, "キャンセル"_sjis, kTab},
                            {50, ControlKind::kProgressBar, {}, "", 0},
                        }};
}

class TestDialog : public Dialog {
 public:
  explicit TestDialog(uint32_t style = platform::kDialogCaption | platform::kDialogSysMenu)
      : Dialog(MakeTemplate(style), 0) {}

  std::vector<std::string> calls;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    LimitText(10, 2);
    LimitText(11, 5);
    CheckRadioButton(20, 21, 21);
    CheckRadioButton(30, 31, 30);
    return true;
  }
  void DoDataExchange(bool save) override { calls.push_back(save ? "save" : "load"); }
  void OnCommand(int id) override {
    calls.push_back("command " + std::to_string(id));
    Dialog::OnCommand(id);
  }
  bool PreTranslateKeyDown(int key, unsigned mods) override {
    if (key == platform::kVkF12 && mods == 0) {
      calls.push_back("F12");
      return true;
    }
    return false;
  }
  void OnOK() override {
    calls.push_back("ok");
    Dialog::OnOK();
  }
  void OnCancel() override {
    calls.push_back("cancel");
    Dialog::OnCancel();
  }
};

TEST(DialogTest, CreateBuildsControlsAndFocusesTheFirstTabStop) {
  TestDialog dialog;
  EXPECT_FALSE(dialog.UserKey(platform::kVkTab, 0));  // no window yet
  dialog.Create();
  EXPECT_EQ(dialog.Caption(), "テスト"_sjis);
  EXPECT_EQ(dialog.GetFocusId(), 10);
  EXPECT_FALSE(dialog.IsItemEnabled(12));
  EXPECT_TRUE(dialog.IsChecked(21));
  EXPECT_FALSE(dialog.IsChecked(20));
  EXPECT_EQ(dialog.GetItemText(40), "実行"_sjis);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"load"}));
  EXPECT_NE(dialog.Handle(), TestDialog().Handle());
}

// Sets the focus while initialising and says so, or not.
class FocusingDialog : public TestDialog {
 public:
  explicit FocusingDialog(bool initResult) : initResult_(initResult) {}

 protected:
  bool OnInitDialog() override {
    TestDialog::OnInitDialog();
    SetFocusTo(31);
    return initResult_;
  }

 private:
  bool initResult_;
};

TEST(DialogTest, InitialFocusDependsOnTheInitialisationResult) {
  FocusingDialog keepsItsFocus(false);
  keepsItsFocus.Create();
  EXPECT_EQ(keepsItsFocus.GetFocusId(), 31);
  FocusingDialog defaultFocus(true);
  defaultFocus.Create();
  EXPECT_EQ(defaultFocus.GetFocusId(), 10);
  EXPECT_EQ(defaultFocus.GetControl(10)->selEnd, -1);
}

TEST(DialogTest, TabVisitsEnabledStopsAndEachRadioGroupOnceAtItsCheckedButton) {
  TestDialog dialog;
  dialog.Create();
  std::vector<int> forward;
  for (int i = 0; i < 6; ++i) {
    dialog.UserKey(platform::kVkTab, 0);
    forward.push_back(dialog.GetFocusId());
  }
  EXPECT_EQ(forward, (std::vector<int>{11, 21, 30, 40, IDCANCEL, 10}));
  std::vector<int> backward;
  for (int i = 0; i < 6; ++i) {
    dialog.UserKey(platform::kVkTab, platform::kModShift);
    backward.push_back(dialog.GetFocusId());
  }
  EXPECT_EQ(backward, (std::vector<int>{IDCANCEL, 40, 30, 21, 11, 10}));
}

TEST(DialogTest, TabIntoAnEditSelectsAllOfIt) {
  TestDialog dialog;
  dialog.Create();
  dialog.SetItemText(11, "abc");
  dialog.SetSel(11, 1, 1);
  dialog.UserKey(platform::kVkTab, 0);
  EXPECT_EQ(dialog.GetControl(11)->selStart, 0);
  EXPECT_EQ(dialog.GetControl(11)->selEnd, -1);
}

TEST(DialogTest, ClickingARadioButtonChangesOnlyItsGroup) {
  TestDialog dialog;
  dialog.Create();
  ASSERT_TRUE(dialog.UserClick(31));
  EXPECT_TRUE(dialog.IsChecked(31));
  EXPECT_FALSE(dialog.IsChecked(30));
  EXPECT_TRUE(dialog.IsChecked(21));  // the other group keeps its choice
  EXPECT_EQ(dialog.GetFocusId(), 31);
  ASSERT_TRUE(dialog.UserClick(20));
  EXPECT_TRUE(dialog.IsChecked(20));
  EXPECT_FALSE(dialog.IsChecked(21));
  EXPECT_TRUE(dialog.IsChecked(31));
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"load", "command 31", "command 20"}));
}

TEST(DialogTest, TypingHonoursDigitsOnlyAndTheLimit) {
  struct Case {
    int id;
    std::string typed;
    bool accepted;
    std::string text;
  } cases[] = {
      {10, "4", true, "4"},
      {10, "12a3", true, "12"},                // past the limit of 2
      {10, "a1b", true, "1"},                  // letters are refused
      {10, "１２"_sjis, true, ""},             // full-width digits are not digits
      {11, "表示表"_sjis, true, "表示"_sjis},  // 6 bytes would pass the limit of 5
      {11, "ab表cd"_sjis, true, "ab表c"_sjis},
      {12, "1", false, ""},           // disabled
      {13, "1", false, "方法"_sjis},  // not an edit
      {99, "1", false, ""},
  };
  for (const Case& c : cases) {
    TestDialog dialog;
    dialog.Create();
    EXPECT_EQ(dialog.UserSetText(c.id, c.typed), c.accepted) << c.id << " " << c.text;
    EXPECT_EQ(dialog.GetItemText(c.id), c.text) << c.id;
    if (c.accepted) {
      EXPECT_EQ(dialog.GetFocusId(), c.id);
    }
  }
}

// One key's result is taken or refused whole: a refused key never cuts or
// filters what was there.
TEST(DialogTest, AKeysEditIsTakenOrRefusedWhole) {
  struct Case {
    int id;
    std::string before;
    std::string after;
    bool taken;
  } cases[] = {
      {10, "4", "5", true},
      {10, "4", "a", false},        // a letter in a digits-only edit
      {10, "4", "１"_sjis, false},  // a full-width digit is no digit
      {10, "12", "123", false},     // past the limit of 2
      {11, "abcd", "abcde", true},
      {11, "abcd", "ab表cd"_sjis, false},
      {11, "abcdefg", "abcdef", true},  // a text already past the limit may shrink
      {11, "abcdefg", "abcdefgh", false},
      {12, "", "1", false},  // disabled
  };
  for (const Case& c : cases) {
    TestDialog dialog;
    dialog.Create();
    dialog.SetItemText(c.id, c.before);
    EXPECT_EQ(dialog.UserEditText(c.id, c.after, 1, 1), c.taken) << c.after;
    EXPECT_EQ(dialog.GetItemText(c.id), c.taken ? c.after : c.before) << c.after;
  }
}

// A front end applies every selection the dialog sets, also one equal to
// the last (its own edit may have dropped it meanwhile).
TEST(DialogTest, EverySelectionTheDialogSetsIsCounted) {
  TestDialog dialog;
  dialog.Create();
  dialog.SetItemText(11, "abc");
  unsigned before = dialog.GetControl(11)->selSerial;
  dialog.GotoDlgCtrl(11);
  dialog.UserKey(platform::kVkTab, platform::kModShift);
  dialog.GotoDlgCtrl(11);
  EXPECT_EQ(dialog.GetFocusId(), 11);
  EXPECT_EQ(dialog.GetControl(11)->selEnd, -1);
  EXPECT_EQ(dialog.GetControl(11)->selSerial, before + 2);
  dialog.SetSel(11, 0, -1);
  EXPECT_EQ(dialog.GetControl(11)->selSerial, before + 3);
}

TEST(DialogTest, KeysFollowTheDialogProcessing) {
  struct Case {
    int focus;
    int key;
    unsigned mods;
    std::vector<std::string> calls;
    bool ended;
    int result;
  } cases[] = {
      {10, platform::kVkEscape, 0, {"cancel"}, true, IDCANCEL},
      {10, platform::kVkReturn, 0, {"ok", "save"}, true, IDOK},
      {40, platform::kVkReturn, 0, {"command 40"}, false, 0},
      {IDCANCEL, platform::kVkReturn, 0, {"command 2", "cancel"}, true, IDCANCEL},
      {21, platform::kVkReturn, 0, {"ok", "save"}, true, IDOK},
      {10, platform::kVkF12, 0, {"F12"}, false, 0},
      {10, platform::kVkF12, platform::kModCtrl, {}, false, 0},
  };
  for (const Case& c : cases) {
    TestDialog dialog;
    dialog.Create();
    dialog.SetFocusTo(c.focus);
    dialog.calls.clear();
    EXPECT_TRUE(dialog.UserKey(c.key, c.mods));
    EXPECT_EQ(dialog.calls, c.calls) << c.focus << " key " << c.key;
    EXPECT_EQ(dialog.IsEnded(), c.ended);
    EXPECT_EQ(dialog.Result(), c.result);
  }
}

TEST(DialogTest, NothingIsDoneOnAnEndedDialog) {
  TestDialog dialog;
  dialog.Create();
  dialog.EndDialog(1006);
  EXPECT_EQ(dialog.Result(), 1006);
  EXPECT_FALSE(dialog.UserKey(platform::kVkEscape, 0));
  EXPECT_FALSE(dialog.UserClick(40));
  EXPECT_FALSE(dialog.UserSetText(10, "1"));
  EXPECT_FALSE(dialog.UserFocus(11));
  EXPECT_FALSE(dialog.UserClose());
  EXPECT_EQ(dialog.Result(), 1006);
}

TEST(DialogTest, CloseBoxOnlyWithASystemMenu) {
  TestDialog withMenu;
  withMenu.Create();
  EXPECT_TRUE(withMenu.UserClose());
  EXPECT_EQ(withMenu.Result(), IDCANCEL);
  TestDialog withoutMenu(platform::kDialogCaption);
  withoutMenu.Create();
  EXPECT_FALSE(withoutMenu.UserClose());
  EXPECT_FALSE(withoutMenu.IsEnded());
}

TEST(DialogTest, FocusOnlyOnEnabledInputControls) {
  TestDialog dialog;
  dialog.Create();
  EXPECT_TRUE(dialog.UserFocus(11));
  EXPECT_FALSE(dialog.UserFocus(12));  // disabled
  EXPECT_FALSE(dialog.UserFocus(13));  // group box
  EXPECT_FALSE(dialog.UserFocus(50));  // progress bar
  EXPECT_EQ(dialog.GetFocusId(), 11);
  dialog.ScrollCaret(11);
  EXPECT_TRUE(dialog.GetControl(11)->caretVisible);
  dialog.SetFocusTo(10);
  EXPECT_FALSE(dialog.GetControl(11)->caretVisible);
}

TEST(DialogTest, ProgressBarStartsOverPastItsMaximum) {
  TestDialog dialog;
  dialog.Create();
  dialog.ProgressSetRange(50, 0, 10);
  dialog.ProgressSetStep(50, 1);
  dialog.ProgressSetPos(50, 0);
  std::vector<int> positions;
  for (int i = 0; i < 11; ++i) {
    dialog.ProgressStepIt(50);
    positions.push_back(dialog.GetControl(50)->position);
  }
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}));
  dialog.ProgressSetPos(50, 50);
  EXPECT_EQ(dialog.GetControl(50)->position, 10);
  dialog.ProgressSetPos(50, -3);
  EXPECT_EQ(dialog.GetControl(50)->position, 0);

  // The overall bar of a run: 1004 steps over 0..1000.
  dialog.ProgressSetRange(50, 0, 1000);
  for (int i = 0; i < 1004; ++i) dialog.ProgressStepIt(50);
  EXPECT_EQ(dialog.GetControl(50)->position, 3);
}

// Mnemonics: a label's or group box's moves the focus to the next tab stop
// after it, a button's clicks it; without Alt only outside an edit.
class MnemonicDialog : public Dialog {
 public:
  MnemonicDialog()
      : Dialog(
            DialogTemplate{201,
                           "テスト"_sjis,
                           {0, 0, 200, 100},
                           "ＭＳ Ｐゴシック"_sjis,
                           9,
                           platform::kDialogCaption,
                           {
                               {1, ControlKind::kLabel, {}, "月度(&S)"_sjis, 0},
                               {10, ControlKind::kEdit, {}, "12", kTab},
                               {2, ControlKind::kLabel, {}, "月度(&E)"_sjis, 0},
                               {11, ControlKind::kEdit, {}, "", kTab | platform::kStyleDisabled},
                               {12, ControlKind::kEdit, {}, "", kTab},
                               {3, ControlKind::kLabel, {}, "A&&B", 0},
                               {20, ControlKind::kRadioButton, {}, "(&N)", kTab | kGroup},
                               {21, ControlKind::kRadioButton, {}, "(&p)", kTab},
                               {30, ControlKind::kPushButton, {}, "参照(&D)"_sjis, kTab | kGroup},
                           }},
            0) {}
  std::vector<int> commands;

 protected:
  void OnCommand(int id) override { commands.push_back(id); }
};

// Arrow keys move within a group and Alt with a letter presses a mnemonic,
// as the dialog manager does; disabled controls are passed over.
class KeyboardDialog : public Dialog {
 public:
  KeyboardDialog()
      : Dialog(
            DialogTemplate{
                201,
                "鍵"_sjis,
                {0, 0, 100, 100},
                "ＭＳ Ｐゴシック"_sjis,
                9,
                platform::kDialogCaption,
                {
                    {1, ControlKind::kLabel, {}, "月度(&S)"_sjis, kGroup},
                    {10, ControlKind::kEdit, {}, "12", kTab},
                    {2, ControlKind::kGroupBox, {}, "出力先(&O)"_sjis, 0},
                    {11, ControlKind::kEdit, {}, "", kTab | platform::kStyleDisabled},
                    {12, ControlKind::kEdit, {}, "", kTab},
                    {20, ControlKind::kRadioButton, {}, "集計(&N)"_sjis, kTab | kGroup},
                    {21, ControlKind::kRadioButton, {}, "保存値(&P)"_sjis, 0},
                    {22, ControlKind::kRadioButton, {}, "他(&Q)"_sjis, platform::kStyleDisabled},
                    {30, ControlKind::kPushButton, {}, "参照(&D)..."_sjis, kTab | kGroup},
                    {31,
                     ControlKind::kPushButton,
                     {},
                     "無効(&X)"_sjis,
                     kTab | platform::kStyleDisabled},
                    {32, ControlKind::kPushButton, {}, "A&&B", kTab},
                }},
            0) {}
  std::vector<int> commands;

 protected:
  void OnCommand(int id) override { commands.push_back(id); }
};

TEST(DialogTest, MnemonicsFocusTheNextStopOrClick) {
  struct Case {
    int key;
    unsigned mods;
    int focusBefore;
    int focusAfter;
    std::vector<int> commands;
  } cases[] = {
      {'S', platform::kModAlt, 30, 10, {}},    // label: the edit after it
      {'E', platform::kModAlt, 30, 12, {}},    // skips the disabled edit
      {'D', platform::kModAlt, 10, 30, {30}},  // button: clicked
      {'P', platform::kModAlt, 10, 21, {21}},  // lower-case mnemonic, radio
      {'N', 0, 30, 20, {20}},                  // no Alt outside an edit
      {'N', 0, 10, 10, {}},                    // typed in an edit: nothing
      {'B', platform::kModAlt, 30, 30, {}},    // "&&" is no mnemonic
      {'D', platform::kModAlt | platform::kModCtrl, 10, 10, {}},
  };
  for (const Case& c : cases) {
    MnemonicDialog dialog;
    dialog.Create();
    ASSERT_TRUE(dialog.UserFocus(c.focusBefore));
    dialog.UserKey(c.key, c.mods);
    SCOPED_TRACE(std::string(1, static_cast<char>(c.key)));
    EXPECT_EQ(dialog.GetFocusId(), c.focusAfter);
    EXPECT_EQ(dialog.commands, c.commands);
    if (c.focusAfter == 10 && c.focusBefore != 10) {
      EXPECT_EQ(dialog.GetControl(10)->selEnd, -1) << "an edit reached by mnemonic is selected";
    }
  }
}

TEST(DialogTest, ArrowsAndMnemonicsFollowTheDialogManager) {
  struct Case {
    int focus;
    int key;
    unsigned mods;
    int focusAfter;
    std::vector<int> commands;
  } cases[] = {
      {12, 'S', platform::kModAlt, 10, {}},    // a label hands on to the next control
      {10, 'O', platform::kModAlt, 12, {}},    // a group box too, past a disabled edit
      {10, 'P', platform::kModAlt, 21, {21}},  // a radio button is clicked
      {10, 'D', platform::kModAlt, 30, {30}},  // a push button too
      {10, 'X', platform::kModAlt, 10, {}},    // disabled
      {10, 'Q', platform::kModAlt, 10, {}},    // disabled radio button
      {10, 'B', platform::kModAlt, 10, {}},    // "&&" is no mnemonic
      {12, 'S', 0, 12, {}},                    // without Alt nothing
      {20, platform::kVkDown, 0, 21, {21}},    // the next radio button is clicked
      {21, platform::kVkDown, 0, 20, {20}},    // wrapping past the disabled one
      {20, platform::kVkUp, 0, 21, {21}},
      {30, platform::kVkRight, 0, 32, {}},  // push buttons only take the focus
      {10, platform::kVkDown, 0, 10, {}},   // an edit keeps its arrows
  };
  for (const Case& c : cases) {
    KeyboardDialog dialog;
    dialog.Create();
    dialog.CheckRadioButton(20, 22, c.focus == 21 ? 21 : 20);
    dialog.SetFocusTo(c.focus);
    EXPECT_TRUE(dialog.UserKey(c.key, c.mods));
    EXPECT_EQ(dialog.GetFocusId(), c.focusAfter) << c.focus << " key " << c.key;
    EXPECT_EQ(dialog.commands, c.commands) << c.focus << " key " << c.key;
    if (!c.commands.empty() && c.commands.front() / 10 == 2) {
      EXPECT_TRUE(dialog.IsChecked(c.commands.front()));
    }
  }
  KeyboardDialog dialog;
  dialog.Create();
  dialog.SetFocusTo(12);
  dialog.UserKey('S', platform::kModAlt);
  EXPECT_EQ(dialog.GetControl(10)->selStart, 0);
  EXPECT_EQ(dialog.GetControl(10)->selEnd, -1);
}

}  // namespace
