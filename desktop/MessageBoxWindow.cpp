#include "desktop/MessageBoxWindow.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "desktop/QtText.h"
#include "platform/text/WinTypes.h"
#include "platform/ui/UiTranscript.h"
#include "resources/Texts.h"

namespace desktop {
namespace {

struct ButtonChoice {
  const char* label;  // Shift_JIS
  QMessageBox::ButtonRole role;
  const char* answer;
};

std::vector<ButtonChoice> ButtonsOf(uint32_t style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{"OK", QMessageBox::AcceptRole, "ok"},
              {taxlink::texts::kCancelButton, QMessageBox::RejectRole, "cancel"}};
    case MB_YESNO:
      // Y and N answer, as the mnemonics of the buttons.
      return {{taxlink::texts::kYesButton, QMessageBox::YesRole, "yes"},
              {taxlink::texts::kNoButton, QMessageBox::NoRole, "no"}};
    default:
      return {{"OK", QMessageBox::AcceptRole, "ok"}};
  }
}

QMessageBox::Icon IconOf(uint32_t style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

std::string RunMessageBox(QWidget* owner, std::string_view text, std::string_view caption,
                          uint32_t style) {
  QMessageBox box(IconOf(style), ToQt(caption), ToQt(text), QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  std::vector<ButtonChoice> choices = ButtonsOf(style);
  std::vector<QPushButton*> buttons;
  std::string safe = platform::UiTranscript::SafeAnswer(style);
  for (const ButtonChoice& choice : choices) {
    QPushButton* button = box.addButton(ToQt(choice.label), choice.role);
    buttons.push_back(button);
    if (safe == choice.answer) box.setEscapeButton(button);
  }
  box.setDefaultButton(buttons.front());
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return choices[i].answer;
  }
  return safe;
}

}  // namespace desktop
