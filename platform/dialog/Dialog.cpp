#include "platform/dialog/Dialog.h"

#include "platform/dialog/Mnemonic.h"
#include "platform/dialog/UserInterface.h"
#include "platform/text/Mbcs.h"

namespace platform {
namespace {

HWND NextDialogHandle() {
  static HWND next = 0x00020000;
  next += 4;
  return next;
}

// The number of bytes of the character that starts at text[i].
std::size_t CharLength(const std::string& text, std::size_t i) {
  if (i + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[i])) &&
      IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
    return 2;
  }
  return 1;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, HWND parent)
    : template_(dialogTemplate), parent_(parent), handle_(NextDialogHandle()) {
  if (template_.caption != nullptr) caption_ = template_.caption;
}

Dialog::~Dialog() {
  UserInterface* ui = CurrentUi();
  if (created_ && !modal_ && ui != nullptr) ui->ModelessDestroyed(*this);
}

void Dialog::Create() {
  if (created_) return;
  controls_.clear();
  for (const ControlTemplate& item : template_.controls) {
    Control control;
    control.id = item.id;
    control.kind = item.kind;
    control.rect = item.rect;
    control.text = item.text != nullptr ? item.text : "";
    control.style = item.style;
    control.enabled = (item.style & kStyleDisabled) == 0;
    controls_.push_back(control);
  }
  caption_ = template_.caption != nullptr ? template_.caption : "";
  created_ = true;
  visible_ = (template_.style & kDialogVisible) != 0;
  // True from OnInitDialog means the dialog did not set the focus itself:
  // the first tab stop gets it, whatever was focused meanwhile.
  if (OnInitDialog()) {
    for (Control& control : controls_) {
      if ((control.style & kStyleTabStop) != 0 && IsFocusable(control)) {
        FocusSelectingAll(control);
        break;
      }
    }
  }
  NotifyModeless();
}

void Dialog::SetCaption(const std::string& text) {
  caption_ = text;
  NotifyModeless();
}

Control* Dialog::GetControl(int id) {
  for (Control& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const Control* Dialog::GetControl(int id) const {
  for (const Control& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

void Dialog::SetItemText(int id, const std::string& text) {
  if (Control* control = GetControl(id)) control->text = text;
}

std::string Dialog::GetItemText(int id) const {
  const Control* control = GetControl(id);
  return control != nullptr ? control->text : std::string();
}

void Dialog::EnableItem(int id, bool enable) {
  if (Control* control = GetControl(id)) control->enabled = enable;
}

bool Dialog::IsItemEnabled(int id) const {
  const Control* control = GetControl(id);
  return control != nullptr && control->enabled;
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkedId) {
  for (Control& control : controls_) {
    if (control.kind == ControlKind::kRadioButton && control.id >= firstId &&
        control.id <= lastId) {
      control.checked = control.id == checkedId;
    }
  }
}

bool Dialog::IsChecked(int id) const {
  const Control* control = GetControl(id);
  return control != nullptr && control->checked;
}

void Dialog::LimitText(int id, std::size_t bytes) {
  if (Control* control = GetControl(id)) control->textLimit = bytes;
}

void Dialog::SetFocusTo(int id) {
  if (GetControl(id) == nullptr) return;
  if (id != focusId_) {
    for (Control& control : controls_) control.caretVisible = false;
  }
  focusId_ = id;
}

void Dialog::GotoDlgCtrl(int id) {
  if (Control* control = GetControl(id)) FocusSelectingAll(*control);
}

void Dialog::SetSel(int id, int start, int end) {
  if (Control* control = GetControl(id)) {
    control->selStart = start;
    control->selEnd = end;
    ++control->selSerial;
  }
}

void Dialog::ScrollCaret(int id) {
  if (Control* control = GetControl(id)) control->caretVisible = true;
}

void Dialog::ProgressSetRange(int id, int minimum, int maximum) {
  Control* bar = GetControl(id);
  if (bar == nullptr) return;
  bar->rangeMin = minimum;
  bar->rangeMax = maximum;
  if (bar->position < minimum) bar->position = minimum;
  if (bar->position > maximum) bar->position = maximum;
}

void Dialog::ProgressSetStep(int id, int step) {
  if (Control* bar = GetControl(id)) bar->step = step;
}

void Dialog::ProgressSetPos(int id, int position) {
  if (Control* bar = GetControl(id)) SetBarPosition(*bar, position);
}

void Dialog::ProgressStepIt(int id) {
  if (Control* bar = GetControl(id)) StepBar(*bar);
}

void Dialog::ShowWindow(bool show) {
  visible_ = show;
  NotifyModeless();
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (!modal_) visible_ = false;
  NotifyModeless();
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DoDataExchange(saveAndValidate);
  return true;
}

Control* Dialog::TypableEdit(int id) {
  if (!created_ || ended_) return nullptr;
  Control* control = GetControl(id);
  if (control == nullptr || control->kind != ControlKind::kEdit || !control->enabled ||
      !control->visible) {
    return nullptr;
  }
  SetFocusTo(id);
  return control;
}

bool Dialog::UserSetText(int id, const std::string& text) {
  Control* control = TypableEdit(id);
  if (control == nullptr) return false;
  // Typed character by character: an edit with the number style refuses
  // everything but digits, and nothing is typed past the limit.
  std::string typed;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = CharLength(text, i);
    bool digit = length == 1 && text[i] >= '0' && text[i] <= '9';
    if ((control->style & kStyleNumber) == 0 || digit) {
      if (control->textLimit != 0 && typed.size() + length > control->textLimit) break;
      typed.append(text, i, length);
    }
    i += length;
  }
  control->text = typed;
  control->selStart = static_cast<int>(typed.size());
  control->selEnd = static_cast<int>(typed.size());
  ++control->selSerial;
  return true;
}

bool Dialog::UserEditText(int id, const std::string& text, int selStart, int selEnd) {
  Control* control = TypableEdit(id);
  if (control == nullptr) return false;
  if ((control->style & kStyleNumber) != 0) {
    for (char c : text) {
      if (c < '0' || c > '9') return false;
    }
  }
  // A text already past the limit (set by the program) may still shrink.
  if (control->textLimit != 0 && text.size() > control->textLimit &&
      text.size() > control->text.size()) {
    return false;
  }
  control->text = text;
  control->selStart = selStart;
  control->selEnd = selEnd;
  return true;
}

bool Dialog::UserClick(int id) {
  if (!created_ || ended_) return false;
  Control* control = GetControl(id);
  if (control == nullptr || !control->enabled || !control->visible) return false;
  if (control->kind != ControlKind::kPushButton && control->kind != ControlKind::kRadioButton) {
    return false;
  }
  SetFocusTo(id);
  if (control->kind == ControlKind::kRadioButton) {
    std::size_t index = static_cast<std::size_t>(control - controls_.data());
    std::size_t end = GroupEnd(index);
    for (std::size_t i = GroupStart(index); i < end; ++i) {
      if (controls_[i].kind == ControlKind::kRadioButton) controls_[i].checked = i == index;
    }
  }
  OnCommand(id);
  return true;
}

bool Dialog::UserKey(int virtualKey, unsigned modifiers) {
  if (!created_ || ended_) return false;
  if (PreTranslateKeyDown(virtualKey, modifiers)) return true;
  switch (virtualKey) {
    case kVkEscape:
      OnCancel();
      break;
    case kVkReturn: {
      const Control* focused = GetControl(focusId_);
      if (focused != nullptr && focused->kind == ControlKind::kPushButton && focused->enabled) {
        UserClick(focusId_);
      } else {
        OnOK();
      }
      break;
    }
    case kVkTab:
      MoveFocus((modifiers & kModShift) != 0, controls_.size());
      break;
    case kVkLeft:
    case kVkUp:
      MoveInGroup(false);
      break;
    case kVkRight:
    case kVkDown:
      MoveInGroup(true);
      break;
    default:
      ActivateMnemonic(virtualKey, modifiers);
      break;
  }
  return true;
}

bool Dialog::UserFocus(int id) {
  if (!created_ || ended_) return false;
  const Control* control = GetControl(id);
  if (control == nullptr || !IsFocusable(*control)) return false;
  SetFocusTo(id);
  return true;
}

bool Dialog::UserClose() {
  if (!created_ || ended_) return false;
  if ((template_.style & kDialogSysMenu) == 0) return false;  // no close box
  OnCancel();
  return true;
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::DoDataExchange(bool) {}

void Dialog::OnCommand(int id) {
  if (id == IDOK) {
    OnOK();
  } else if (id == IDCANCEL) {
    OnCancel();
  }
}

bool Dialog::PreTranslateKeyDown(int, unsigned) { return false; }

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::ActivateMnemonic(int virtualKey, unsigned modifiers) {
  bool letterOrDigit =
      (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
  if (!letterOrDigit || (modifiers & kModCtrl) != 0) return false;
  if ((modifiers & kModAlt) == 0) {
    // A plain key is typed when an edit has the focus.
    const Control* focused = GetControl(focusId_);
    if (focused != nullptr && focused->kind == ControlKind::kEdit) return false;
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const Control& control = controls_[i];
    if (!control.visible || !control.enabled || ParseMnemonic(control.text).key != virtualKey) {
      continue;
    }
    switch (control.kind) {
      case ControlKind::kLabel:
      case ControlKind::kGroupBox:
        MoveFocus(false, i);
        return true;
      case ControlKind::kPushButton:
      case ControlKind::kRadioButton:
        return UserClick(control.id);
      default:
        return false;
    }
  }
  return false;
}

void Dialog::MoveFocus(bool backwards, std::size_t from) {
  // Tab stops in resource order; a radio group is one stop, entered at its
  // checked button.
  std::vector<std::size_t> stops;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const Control& control = controls_[i];
    if ((control.style & kStyleTabStop) == 0 || !IsFocusable(control)) continue;
    if (control.kind == ControlKind::kRadioButton) {
      std::size_t start = GroupStart(i);
      bool groupListed = false;
      for (std::size_t stop : stops) {
        if (controls_[stop].kind == ControlKind::kRadioButton && GroupStart(stop) == start) {
          groupListed = true;
        }
      }
      if (groupListed) continue;
      std::size_t target = i;
      for (std::size_t j = start; j < GroupEnd(i); ++j) {
        if (controls_[j].kind == ControlKind::kRadioButton && controls_[j].checked &&
            IsFocusable(controls_[j])) {
          target = j;
        }
      }
      stops.push_back(target);
      continue;
    }
    stops.push_back(i);
  }
  if (stops.empty()) return;
  // The position of the focus in resource order.
  std::size_t current = from;
  if (current >= controls_.size()) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      if (controls_[i].id == focusId_) current = i;
    }
  }
  std::size_t next = stops.front();
  if (current == controls_.size()) {
    next = backwards ? stops.back() : stops.front();
  } else if (backwards) {
    next = stops.back();
    for (std::size_t stop : stops) {
      bool sameGroup = controls_[stop].kind == ControlKind::kRadioButton &&
                       controls_[current].kind == ControlKind::kRadioButton &&
                       GroupStart(stop) == GroupStart(current);
      if (stop < current && !sameGroup) next = stop;
    }
  } else {
    for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
      bool sameGroup = controls_[*it].kind == ControlKind::kRadioButton &&
                       controls_[current].kind == ControlKind::kRadioButton &&
                       GroupStart(*it) == GroupStart(current);
      if (*it > current && !sameGroup) next = *it;
    }
    bool found = false;
    for (std::size_t stop : stops) {
      if (stop > current) found = true;
    }
    if (!found) next = stops.front();
  }
  FocusSelectingAll(controls_[next]);
}

void Dialog::FocusSelectingAll(Control& control) {
  SetFocusTo(control.id);
  if (control.kind == ControlKind::kEdit) {
    control.selStart = 0;
    control.selEnd = -1;
    ++control.selSerial;
  }
}

void Dialog::MoveInGroup(bool forward) {
  std::size_t current = controls_.size();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].id == focusId_) current = i;
  }
  if (current == controls_.size()) return;
  ControlKind kind = controls_[current].kind;
  if (kind != ControlKind::kPushButton && kind != ControlKind::kRadioButton) return;
  std::size_t start = GroupStart(current);
  std::size_t count = GroupEnd(current) - start;
  for (std::size_t step = 1; step < count; ++step) {
    std::size_t offset = current - start;
    std::size_t i = start + (forward ? offset + step : offset + count - step) % count;
    Control& candidate = controls_[i];
    if (!IsFocusable(candidate)) continue;
    // An auto radio button checks itself when the arrows bring the focus.
    if (candidate.kind == ControlKind::kRadioButton) {
      UserClick(candidate.id);
    } else {
      FocusSelectingAll(candidate);
    }
    return;
  }
}

void Dialog::NotifyFrontEnd(bool transition) {
  if (transition) repaintGate_.Passed();
  notified_ = true;
  notifiedVisible_ = visible_;
  notifiedEnded_ = ended_;
  if (UserInterface* ui = CurrentUi()) ui->ModelessChanged(*this);
}

bool Dialog::IsFocusable(const Control& control) const {
  if (!control.enabled || !control.visible || control.id == -1) return false;
  return control.kind == ControlKind::kEdit || control.kind == ControlKind::kPushButton ||
         control.kind == ControlKind::kRadioButton;
}

std::size_t Dialog::GroupStart(std::size_t index) const {
  std::size_t start = index;
  while (start > 0 && (controls_[start].style & kStyleGroup) == 0) --start;
  return start;
}

std::size_t Dialog::GroupEnd(std::size_t index) const {
  std::size_t end = index + 1;
  while (end < controls_.size() && (controls_[end].style & kStyleGroup) == 0) ++end;
  return end;
}

}  // namespace platform
