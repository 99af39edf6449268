#include "desktop/DialogWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>

#include <algorithm>

#include "desktop/QtText.h"
#include "mvhost/lib/ToolTipRegistry.h"
#include "platform/dialog/Dialog.h"
#include "platform/text/Encoding.h"
#include "platform/text/WinTypes.h"

namespace desktop {
namespace {

using platform::ControlKind;

Qt::Alignment AlignmentOf(uint32_t style) {
  if ((style & platform::kStyleRight) != 0) return Qt::AlignRight;
  if ((style & platform::kStyleCenter) != 0) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

// Button texts keep their "&" for the underline; the key itself goes to the
// model like every mnemonic, so Qt's own shortcut is removed.
void SetButtonText(QAbstractButton* button, const std::string& cp932) {
  button->setText(ToQt(cp932));
  button->setShortcut(QKeySequence());
}

// Brings a window to the front where the platform can (not offscreen).
void Raise(QWidget* window) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
}

}  // namespace

DialogWindow::DialogWindow(platform::Dialog& dialog, QWidget* owner)
    : QDialog(owner), dialog_(dialog), metrics_(dialog.Template()) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if ((dialog.Template().style & platform::kDialogSysMenu) != 0) {
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  }
  // A system-modal window (the progress window) stays above the others.
  if ((dialog.Template().style & platform::kDialogSystemModal) != 0)
    flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setFont(metrics_.Font());
  setFixedSize(metrics_.ToPixels(dialog.Template().rect).size());
  installEventFilter(this);
  Build();
  Refresh();
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::Build() {
  const std::vector<platform::Control>& controls = dialog_.Controls();
  items_.resize(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    Item& item = items_[i];
    item.id = controls[i].id;
    item.widget = MakeWidget(i);
    item.widget->setGeometry(metrics_.ToPixels(controls[i].rect));
    item.widget->installEventFilter(this);
  }
}

QWidget* DialogWindow::MakeWidget(std::size_t index) {
  const platform::Control& control = dialog_.Controls()[index];
  switch (control.kind) {
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(this);
      edit->setAlignment(AlignmentOf(control.style) | Qt::AlignVCenter);
      edit->setFrame((control.style & platform::kStyleBorder) != 0);
      edit->setTextMargins(1, 0, 1, 0);
      connect(edit, &QLineEdit::textEdited, this, [this, index] { Typed(index); });
      return edit;
    }
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this, [this, index] { Clicked(index); });
      return button;
    }
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(this);
      // The model decides what is checked.
      radio->setAutoExclusive(false);
      connect(radio, &QRadioButton::clicked, this, [this, index] { Clicked(index); });
      return radio;
    }
    case ControlKind::kGroupBox:
      return new QGroupBox(this);
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(this);
      bar->setTextVisible(false);
      // A smooth bar fills evenly; the others in blocks, as the template
      // asks (the progress window's overall and detail bars).
      bool smooth = (control.style & platform::kStyleSmooth) != 0;
      bar->setStyleSheet(
          QStringLiteral("QProgressBar { border: 1px solid #8c8c8c; background: #ffffff; }"
                         "QProgressBar::chunk { background: #2f6fc4; %1 }")
              .arg(smooth ? QString() : QStringLiteral("width: 7px; margin: 1px;")));
      return bar;
    }
    case ControlKind::kPicture: {
      auto* picture = new QLabel(this);
      for (const mvhost::ToolTip& tip : mvhost::ToolTipsOf(&dialog_)) {
        if (tip.controlId != control.id) continue;
        picture->setToolTip(ToQt(tip.text));
        // A mark, so that the person finds where the tip is.
        int side = std::min(metrics_.XToPixels(control.rect.width),
                            metrics_.YToPixels(control.rect.height));
        picture->setPixmap(
            style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));
      }
      return picture;
    }
    case ControlKind::kLabel:
    default: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::RichText);
      label->setAlignment(AlignmentOf(control.style) | Qt::AlignTop);
      label->setWordWrap(true);
      return label;
    }
  }
}

QWidget* DialogWindow::ControlWidget(int id) const {
  if (id < 0) return nullptr;
  for (const Item& item : items_) {
    if (item.id == id) return item.widget;
  }
  return nullptr;
}

int DialogWindow::IdOf(const QObject* widget) const {
  for (const Item& item : items_) {
    if (item.widget == widget) return item.id;
  }
  return -1;
}

void DialogWindow::RunUntilEnded() {
  setWindowModality(Qt::ApplicationModal);
  show();
  Raise(this);
  activateWindow();
  Refresh();
  if (!dialog_.IsEnded()) {
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
  }
  // The loop can end without the model (the application told to quit):
  // the dialog is then cancelled as the person's Esc would.
  CancelThroughModel();
  hide();
}

void DialogWindow::CancelThroughModel() {
  if (dialog_.IsEnded()) return;
  dialog_.UserKey(platform::kVkEscape, 0);
  if (!dialog_.IsEnded()) dialog_.EndDialog(IDCANCEL);
}

void DialogWindow::reject() {
  if (dialog_.IsEnded() || !dialog_.IsModal()) return;
  dialog_.UserKey(platform::kVkEscape, 0);
  AfterAction();
}

void DialogWindow::SyncVisibility() {
  if (dialog_.IsVisible() && !isVisible()) {
    show();
    Raise(this);
  } else if (!dialog_.IsVisible() && isVisible()) {
    hide();
  }
}

void DialogWindow::Refresh() {
  refreshing_ = true;
  setWindowTitle(ToQt(dialog_.Caption()));
  const std::vector<platform::Control>& controls = dialog_.Controls();
  for (std::size_t i = 0; i < controls.size() && i < items_.size(); ++i) {
    const platform::Control& control = controls[i];
    Item& item = items_[i];
    QWidget* widget = item.widget;
    if (widget->isEnabled() != control.enabled) widget->setEnabled(control.enabled);
    if (widget->isHidden() == control.visible) widget->setVisible(control.visible);
    bool textChanged = item.shownText != control.text;
    switch (control.kind) {
      case ControlKind::kLabel:
        if (textChanged) static_cast<QLabel*>(widget)->setText(MnemonicRichText(control.text));
        break;
      case ControlKind::kGroupBox:
        if (textChanged) static_cast<QGroupBox*>(widget)->setTitle(ToQt(control.text));
        break;
      case ControlKind::kPushButton:
        if (textChanged) SetButtonText(static_cast<QPushButton*>(widget), control.text);
        break;
      case ControlKind::kRadioButton: {
        auto* radio = static_cast<QRadioButton*>(widget);
        if (textChanged) SetButtonText(radio, control.text);
        if (radio->isChecked() != control.checked) radio->setChecked(control.checked);
        break;
      }
      case ControlKind::kEdit:
        if (textChanged) static_cast<QLineEdit*>(widget)->setText(ToQt(control.text));
        break;
      case ControlKind::kProgressBar: {
        auto* bar = static_cast<QProgressBar*>(widget);
        if (bar->minimum() != control.rangeMin || bar->maximum() != control.rangeMax) {
          bar->setRange(control.rangeMin, control.rangeMax);
        }
        if (bar->value() != control.position) bar->setValue(control.position);
        break;
      }
      case ControlKind::kPicture:
        break;
    }
    item.shownText = control.text;
  }
  QWidget* focused = ControlWidget(dialog_.GetFocusId());
  if (focused != nullptr && focused->isEnabled() && focusWidget() != focused) {
    focused->setFocus(Qt::OtherFocusReason);
  }
  // Every selection the model set is applied, also one equal to the last:
  // Qt's edit drops its selection when it loses the focus.
  for (std::size_t i = 0; i < controls.size() && i < items_.size(); ++i) {
    const platform::Control& control = controls[i];
    if (control.kind != ControlKind::kEdit) continue;
    if (items_[i].selSerial != control.selSerial) ApplySelection(items_[i], control);
  }
  // The focus is always drawn (Qt draws it only after a Tab of its own):
  // a keyboard user sees what Enter and Space will act on.
  if (!testAttribute(Qt::WA_KeyboardFocusChange)) {
    setAttribute(Qt::WA_KeyboardFocusChange, true);
    if (QWidget* widget = focusWidget()) widget->update();
  }
  refreshing_ = false;
}

void DialogWindow::ApplySelection(Item& item, const platform::Control& control) {
  auto* edit = static_cast<QLineEdit*>(item.widget);
  item.selSerial = control.selSerial;
  const std::string& text = control.text;
  int start = control.selStart;
  int end = control.selEnd;
  if (end < 0) {
    edit->selectAll();
    return;
  }
  // Byte offsets of the Shift_JIS text as character positions.
  auto position = [&text](int bytes) {
    std::size_t length = std::min(static_cast<std::size_t>(std::max(bytes, 0)), text.size());
    return static_cast<int>(ToQt(text.substr(0, length)).size());
  };
  int from = position(start);
  int to = position(end);
  if (from == to) {
    edit->setCursorPosition(from);
  } else {
    edit->setSelection(from, to - from);
  }
}

void DialogWindow::Typed(std::size_t index) {
  if (refreshing_) return;
  Item& item = items_[index];
  auto* edit = static_cast<QLineEdit*>(item.widget);
  QString typed = edit->text();
  std::string text;
  bool taken = platform::TryUtf8ToCp932(typed.toStdString(), &text);
  if (taken) {
    // The caret as a byte offset of the Shift_JIS text.
    int caret = static_cast<int>(FromQt(typed.left(edit->cursorPosition())).size());
    taken = dialog_.UserEditText(item.id, text, caret, caret);
  }
  const platform::Control& control = dialog_.Controls()[index];
  if (!taken) {
    // A key the edit does not take (a letter in a month, a character past
    // the limit or without a Shift_JIS form) leaves text and selection as
    // they were.
    refreshing_ = true;
    edit->undo();
    if (edit->text() != ToQt(control.text)) edit->setText(ToQt(control.text));
    refreshing_ = false;
    QApplication::beep();
  }
  item.shownText = control.text;
  item.selSerial = control.selSerial;
  AfterAction();
}

void DialogWindow::Clicked(std::size_t index) {
  if (refreshing_) return;
  dialog_.UserClick(items_[index].id);
  AfterAction();
}

void DialogWindow::AfterAction() {
  if (dialog_.IsEnded()) {
    if (loop_ != nullptr) loop_->quit();
    return;
  }
  Refresh();
}

bool DialogWindow::TakeKey(const QKeyEvent* key, const QObject* watched, int* virtualKey,
                           unsigned* modifiers) const {
  unsigned mods = 0;
  if ((key->modifiers() & Qt::ShiftModifier) != 0) mods |= platform::kModShift;
  if ((key->modifiers() & Qt::ControlModifier) != 0) mods |= platform::kModCtrl;
  if ((key->modifiers() & Qt::AltModifier) != 0) mods |= platform::kModAlt;
  int code = 0;
  switch (key->key()) {
    case Qt::Key_Tab:
      code = platform::kVkTab;
      break;
    case Qt::Key_Backtab:
      code = platform::kVkTab;
      mods |= platform::kModShift;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      code = platform::kVkReturn;
      break;
    case Qt::Key_Escape:
      code = platform::kVkEscape;
      break;
    case Qt::Key_F12:
      code = platform::kVkF12;
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
      // In an edit the arrows move the caret; elsewhere the model moves
      // within the focused button's group.
      if (qobject_cast<const QLineEdit*>(watched) == nullptr) {
        code = key->key() == Qt::Key_Left    ? platform::kVkLeft
               : key->key() == Qt::Key_Up    ? platform::kVkUp
               : key->key() == Qt::Key_Right ? platform::kVkRight
                                             : platform::kVkDown;
      }
      break;
    default: {
      int k = key->key();
      bool letterOrDigit = (k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9);
      bool inEdit = qobject_cast<const QLineEdit*>(watched) != nullptr;
      // Alt with a letter is a mnemonic; a plain letter too outside an edit.
      // Ctrl with a letter belongs to the edit (copy, paste).
      if (letterOrDigit &&
          ((mods & platform::kModAlt) != 0 || (!inEdit && (mods & platform::kModCtrl) == 0))) {
        code = k;  // Qt's codes of A-Z and 0-9 are the virtual keys
      }
    }
  }
  if (code == 0) return false;
  *virtualKey = code;
  *modifiers = mods;
  return true;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
  int virtualKey = 0;
  unsigned modifiers = 0;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Keys of the model are not shortcuts (a group box's mnemonic).
      if (TakeKey(static_cast<QKeyEvent*>(event), watched, &virtualKey, &modifiers)) {
        event->accept();
        return true;
      }
      break;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (TakeKey(key, watched, &virtualKey, &modifiers)) {
        dialog_.UserKey(virtualKey, modifiers);
        AfterAction();
        return true;
      }
      break;
    }
    case QEvent::FocusIn: {
      int id = IdOf(watched);
      if (refreshing_ || id < 0 || id == dialog_.GetFocusId()) break;
      // A click moves the model's focus; a focus change of the window system
      // (a window activated again) or one the model refuses goes back where
      // the model has it, once this event is over.
      bool clicked = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
      if (!clicked || !dialog_.UserFocus(id)) {
        QTimer::singleShot(0, this, [this] {
          if (!dialog_.IsEnded()) Refresh();
        });
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  // QDialog's own Enter and Esc handling would end the window behind the
  // model's back; the model's keys arrive through the event filter.
  QWidget::keyPressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  if (!dialog_.IsEnded()) {
    dialog_.UserClose();
    AfterAction();
  }
  if (dialog_.IsEnded()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace desktop
