#ifndef TAXLINK_PLATFORM_DIALOG_DIALOG_H_
#define TAXLINK_PLATFORM_DIALOG_DIALOG_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog/DialogTemplate.h"
#include "platform/dialog/RepaintGate.h"
#include "platform/text/WinTypes.h"

namespace platform {

// Virtual key codes and modifier bits of a key-down.
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkF12 = 0x7B;
constexpr unsigned kModShift = 1;
constexpr unsigned kModCtrl = 2;
constexpr unsigned kModAlt = 4;

// The live state of one control of a dialog.
struct Control {
  int id = -1;
  ControlKind kind = ControlKind::kLabel;
  Rect rect;
  std::string text;  // Shift_JIS
  uint32_t style = 0;
  bool enabled = true;
  bool visible = true;
  bool checked = false;       // radio buttons
  std::size_t textLimit = 0;  // edits: at most this many bytes typed; 0 = none
  int selStart = 0;           // edits: selection, selEnd -1 = to the end
  int selEnd = 0;
  // Edits: counts the selections the dialog set (EM_SETSEL, a keyboard move
  // into the edit), so that a front end applies one even when it equals the
  // last: the person's own caret moves are not reported back.
  unsigned selSerial = 0;
  bool caretVisible = false;  // EM_SCROLLCARET was sent since the last focus change
  // Progress bars (PBM_SETRANGE, PBM_SETSTEP, PBM_SETPOS, PBM_STEPIT).
  int rangeMin = 0;
  int rangeMax = 100;
  int step = 10;
  int position = 0;
};

// A dialog built from a template: the model that every front end renders
// and drives. The program's dialogs derive from it and override the hooks;
// front ends call the User* operations, which follow the framework's own
// processing (key handling, default buttons, radio groups).
class Dialog {
 public:
  Dialog(const DialogTemplate& dialogTemplate, HWND parent);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  const DialogTemplate& Template() const { return template_; }
  int TemplateId() const { return template_.id; }
  HWND Handle() const { return handle_; }
  HWND Parent() const { return parent_; }

  // The window: controls built from the template, OnInitDialog called and,
  // when it returns true, the focus set to the first tab stop.
  void Create();
  bool IsCreated() const { return created_; }

  // Caption and controls.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::vector<Control>& Controls() const { return controls_; }
  Control* GetControl(int id);
  const Control* GetControl(int id) const;
  void SetItemText(int id, const std::string& text);
  std::string GetItemText(int id) const;
  void EnableItem(int id, bool enable);
  bool IsItemEnabled(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkedId);
  bool IsChecked(int id) const;
  void LimitText(int id, std::size_t bytes);
  void SetFocusTo(int id);
  // WM_NEXTDLGCTL: the focus to the control as the keyboard moves it, an
  // edit with its whole text selected, so that typing replaces it.
  void GotoDlgCtrl(int id);
  int GetFocusId() const { return focusId_; }
  // EM_SETSEL and EM_SCROLLCARET.
  void SetSel(int id, int start, int end);
  void ScrollCaret(int id);

  // Progress bar messages (sent synchronously to the bar).
  void ProgressSetRange(int id, int minimum, int maximum);
  void ProgressSetStep(int id, int step);
  void ProgressSetPos(int id, int position);
  // Steps once; past the maximum the bar starts again from its minimum.
  void ProgressStepIt(int id);
  // The same on a bar already looked up, for a caller that steps it per
  // journal line.
  static void SetBarPosition(Control& bar, int position) {
    if (position < bar.rangeMin) position = bar.rangeMin;
    if (position > bar.rangeMax) position = bar.rangeMax;
    bar.position = position;
  }
  static void StepBar(Control& bar) {
    long long next = static_cast<long long>(bar.position) + bar.step;
    // The control starts over when a step passes either end of its range.
    if (next > bar.rangeMax) {
      next = bar.rangeMin;
    } else if (next < bar.rangeMin) {
      next = bar.rangeMax;
    }
    bar.position = static_cast<int>(next);
  }

  // Window operations that a front end observes.
  void ShowWindow(bool show);
  bool IsVisible() const { return visible_; }
  void UpdateWindow() {
    ++repaints_;
    NotifyModeless();
  }
  void BringWindowToTop() {
    ++raises_;
    NotifyModeless();
  }
  void SetForegroundWindow() {
    ++raises_;
    NotifyModeless();
  }
  int64_t RepaintCount() const { return repaints_; }
  // BringWindowToTop and SetForegroundWindow calls so far.
  int64_t RaiseCount() const { return raises_; }
  // Counts repaints and raises that a caller folded into the last one it
  // made: the front end has seen the state they would have left.
  void CountFoldedOperations(int64_t repaints, int64_t raises) {
    repaints_ += repaints;
    raises_ += raises;
  }

  // Front ends mark a dialog modal (RunModal) before creating it; a dialog
  // created otherwise is modeless and reports its changes to the process's
  // front end (CurrentUi; none before one is chosen): its creation, showing,
  // hiding and ending at once, other changes (bars, caption, repaints) at
  // most about 30 times a second.
  void SetModal(bool modal) { modal_ = modal; }
  bool IsModal() const { return modal_; }

  // Ends a modal dialog with result, or hides a modeless one.
  void EndDialog(int result);
  bool IsEnded() const { return ended_; }
  int Result() const { return result_; }

  // Data exchange between the controls and the dialog's own state.
  bool UpdateData(bool saveAndValidate);

  // User actions, called by front ends. Each returns false when the action
  // could not be done (unknown or disabled control, dialog already ended).
  bool UserSetText(int id, const std::string& text);  // typing: limit, digits-only
  // One key or paste in an edit, as the person left its text and selection:
  // taken whole, or refused whole (false, the edit unchanged) when the edit
  // does not take it: a non-digit in a digits-only edit, or a text that
  // grew past the limit.
  bool UserEditText(int id, const std::string& text, int selStart, int selEnd);
  bool UserClick(int id);  // a push or radio button
  // A key-down: Enter, Esc, Tab; the arrow keys move within the focused
  // button's group (a radio button reached so is clicked; edits keep their
  // arrows); the mnemonics: Alt with the letter or digit after a "&" of a
  // control's text ('A'..'Z', '0'..'9'; the same key alone when the focus is
  // not in an edit) clicks that button or radio button, or, for a label or
  // group box, moves the focus to the next tab stop after it.
  bool UserKey(int virtualKey, unsigned modifiers);
  bool UserFocus(int id);
  bool UserClose();  // the close box

 protected:
  // Hooks of the derived dialogs.
  virtual bool OnInitDialog();  // true: set the default focus
  virtual void DoDataExchange(bool saveAndValidate);
  virtual void OnCommand(int id);  // a button was clicked
  // Called before the standard key processing; true when handled.
  virtual bool PreTranslateKeyDown(int virtualKey, unsigned modifiers);
  virtual void OnOK();      // default: UpdateData(true), EndDialog(IDOK)
  virtual void OnCancel();  // default: EndDialog(IDCANCEL)

 private:
  // The next or previous tab stop from the control at index `from` (the
  // focused one when it is controls_.size()).
  void MoveFocus(bool backwards, std::size_t from);
  void MoveInGroup(bool forward);
  bool ActivateMnemonic(int virtualKey, unsigned modifiers);
  // The edit that typing can reach, focused; null for an unknown, disabled
  // or hidden control, one that is no edit, or an ended dialog.
  Control* TypableEdit(int id);
  // Focus for a keyboard move: an edit gets its whole text selected.
  void FocusSelectingAll(Control& control);
  // Tells the front end of a change of a modeless window: at once when it
  // was shown, hidden or ended, else when the repaint gate lets it through.
  // Inline, since the refused call comes once per journal line.
  void NotifyModeless() {
    if (!created_ || modal_) return;
    const bool transition = !notified_ || visible_ != notifiedVisible_ || ended_ != notifiedEnded_;
    if (!transition && !repaintGate_.Open()) return;
    NotifyFrontEnd(transition);
  }
  void NotifyFrontEnd(bool transition);
  bool IsFocusable(const Control& control) const;
  std::size_t GroupStart(std::size_t index) const;
  std::size_t GroupEnd(std::size_t index) const;

  DialogTemplate template_;
  HWND parent_;
  HWND handle_;
  std::string caption_;
  std::vector<Control> controls_;
  int focusId_ = -1;
  bool created_ = false;
  bool visible_ = false;
  bool ended_ = false;
  int result_ = 0;
  int64_t repaints_ = 0;
  int64_t raises_ = 0;
  bool modal_ = false;
  // What the front end was last told of a modeless dialog.
  bool notified_ = false;
  bool notifiedVisible_ = false;
  bool notifiedEnded_ = false;
  RepaintGate repaintGate_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_DIALOG_H_
