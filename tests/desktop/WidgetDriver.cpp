#include "tests/desktop/WidgetDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "desktop/QtText.h"

namespace desktop_test {
namespace {

constexpr int kTickMilliseconds = 5;
constexpr auto kPatience = std::chrono::seconds(20);

template <typename Window>
Window* Visible(const std::function<bool(Window&)>& wanted) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = dynamic_cast<Window*>(widget);
    if (window != nullptr && window->isVisible() && wanted(*window)) return window;
  }
  return nullptr;
}

desktop::DialogWindow* VisibleDialog(int templateId) {
  return Visible<desktop::DialogWindow>([templateId](desktop::DialogWindow& window) {
    return window.Model().TemplateId() == templateId && window.Model().IsModal();
  });
}

QMessageBox* VisibleMessageBox() {
  return Visible<QMessageBox>([](QMessageBox&) { return true; });
}

}  // namespace

void EnsureOffscreenApplication() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  desktop::EnsureApplication();
}

WidgetDriver::WidgetDriver() : context_(std::make_unique<QObject>()) {
  EnsureOffscreenApplication();
  waitingSince_ = std::chrono::steady_clock::now();
  QTimer::singleShot(kTickMilliseconds, context_.get(), [this] { Tick(); });
}

WidgetDriver::~WidgetDriver() {
  context_.reset();
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps were never taken";
}

void WidgetDriver::OnDialog(int templateId, std::function<void(desktop::DialogWindow&)> act) {
  steps_.push_back({[templateId] { return VisibleDialog(templateId) != nullptr; },
                    [this, templateId, act = std::move(act)] {
                      desktop::DialogWindow* window = VisibleDialog(templateId);
                      Activate(*window);
                      act(*window);
                    }});
}

void WidgetDriver::OnMessageBox(std::function<void(QMessageBox&)> act) {
  steps_.push_back({[] { return VisibleMessageBox() != nullptr; },
                    [this, act = std::move(act)] {
                      QMessageBox* box = VisibleMessageBox();
                      Activate(*box);
                      act(*box);
                    }});
}

void WidgetDriver::OnFileDialog(std::function<void(QFileDialog&)> act) {
  auto find = [] { return Visible<QFileDialog>([](QFileDialog&) { return true; }); };
  steps_.push_back({[find] { return find() != nullptr; },
                    [this, find, act = std::move(act)] {
                      QFileDialog* dialog = find();
                      Activate(*dialog);
                      act(*dialog);
                    }});
}

void WidgetDriver::Activate(QWidget& window) {
  // A person types into the window that has the focus; the window system
  // may activate a new window a little later.
  if (window.isActiveWindow()) return;
  activating_ = true;
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window, 5000)) << "the window did not become active";
  activating_ = false;
}

void WidgetDriver::Tick() {
  // The next tick is set first: this step may wait in a nested event loop.
  QTimer::singleShot(kTickMilliseconds, context_.get(), [this] { Tick(); });
  if (activating_) return;  // the step under way waits for its window
  if (dismissing_) {
    Dismiss();
    return;
  }
  if (steps_.empty()) {
    // A question nobody expected would wait for ever (one just answered
    // may still be closing: a button's mnemonic clicks it a little later).
    QMessageBox* box = VisibleMessageBox();
    if (box != nullptr &&
        std::chrono::steady_clock::now() - waitingSince_ > std::chrono::seconds(2)) {
      ADD_FAILURE() << "an unexpected message box: " << box->text().toStdString();
      dismissing_ = true;
    }
    return;
  }
  if (!steps_.front().ready()) {
    if (std::chrono::steady_clock::now() - waitingSince_ > kPatience) {
      ADD_FAILURE() << "a step waited too long for its window; " << steps_.size() << " steps left";
      steps_.clear();
      dismissing_ = true;
    }
    return;
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  waitingSince_ = std::chrono::steady_clock::now();
  step.act();
}

void WidgetDriver::Dismiss() {
  if (QMessageBox* box = VisibleMessageBox()) {
    box->buttons().isEmpty() ? box->reject() : box->buttons().back()->click();
    return;
  }
  if (auto* files = Visible<QFileDialog>([](QFileDialog&) { return true; })) {
    files->reject();
    return;
  }
  if (auto* window = Visible<desktop::DialogWindow>(
          [](desktop::DialogWindow& w) { return w.Model().IsModal(); })) {
    Press(*window, Qt::Key_Escape);
  }
}

ScopedDesktopUi::ScopedDesktopUi(std::string transcriptPath) {
  EnsureOffscreenApplication();
  auto ui = std::make_unique<desktop::DesktopUi>(std::move(transcriptPath));
  ui_ = ui.get();
  previous_ = platform::SetUi(std::move(ui));
}

ScopedDesktopUi::~ScopedDesktopUi() { platform::SetUi(std::move(previous_)); }

QWidget& Control(desktop::DialogWindow& window, int id) {
  QWidget* widget = window.ControlWidget(id);
  if (widget == nullptr) {
    ADD_FAILURE() << "no widget for control " << id;
    return window;
  }
  return *widget;
}

void Click(desktop::DialogWindow& window, int id) {
  QTest::mouseClick(&Control(window, id), Qt::LeftButton);
}

void TypeInto(desktop::DialogWindow& window, int id, const QString& text) {
  QWidget& edit = Control(window, id);
  QTest::mouseClick(&edit, Qt::LeftButton);
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, text);
}

void Press(desktop::DialogWindow& window, int key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void Answer(QMessageBox& box, const char* label) {
  for (QAbstractButton* button : box.buttons()) {
    // "はい" is the button "はい(&Y)".
    if (button->text() == Shown(label) || button->text().startsWith(Shown(label) + u'(')) {
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
  }
  ADD_FAILURE() << "no button " << Shown(label).toStdString() << " in the message box "
                << box.text().toStdString();
  box.buttons().back()->click();
}

QStringList ButtonLabels(const QMessageBox& box) {
  QStringList labels;
  for (QAbstractButton* button : box.buttons()) labels << button->text();
  return labels;
}

void ChooseFile(QFileDialog& dialog, const std::string& path) {
  // Set rather than typed: the name field's completer would take the keys.
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (name == nullptr) {
    ADD_FAILURE() << "the file dialog has no name field";
    dialog.reject();
    return;
  }
  name->setText(QString::fromStdString(path));
  QTest::keyClick(name, Qt::Key_Return);
}

QString Shown(const char* cp932) { return desktop::ToQt(cp932); }

QImage SaveScreenshot(QWidget& window, const std::string& name) {
  QImage content = window.grab().toImage();
  const int bar = 24;
  QImage image(content.width() + 2, content.height() + bar + 1, QImage::Format_RGB32);
  image.fill(QColor(0x5a, 0x6e, 0x8c));
  QPainter painter(&image);
  painter.drawImage(1, bar, content);
  QFont font = QApplication::font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(8, 0, image.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.end();
  QDir().mkpath(QStringLiteral(TAXLINK_BINARY_DIR "/screenshots"));
  QString path =
      QStringLiteral(TAXLINK_BINARY_DIR "/screenshots/") + QString::fromStdString(name) + ".png";
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  return image;
}

}  // namespace desktop_test
