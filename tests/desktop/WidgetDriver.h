#ifndef TAXLINK_TESTS_DESKTOP_WIDGETDRIVER_H_
#define TAXLINK_TESTS_DESKTOP_WIDGETDRIVER_H_

#include <QImage>
#include <QObject>
#include <QString>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "desktop/DesktopUi.h"
#include "desktop/DialogWindow.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace desktop_test {

// Does what a person does while the code under test waits in Qt's event
// loops: each step waits until its window is on the screen, then sends it
// real key and mouse events. A step that waits too long fails the test and
// every open window is dismissed.
class WidgetDriver {
 public:
  WidgetDriver();
  ~WidgetDriver();
  WidgetDriver(const WidgetDriver&) = delete;
  WidgetDriver& operator=(const WidgetDriver&) = delete;

  void OnDialog(int templateId, std::function<void(desktop::DialogWindow&)> act);
  void OnMessageBox(std::function<void(QMessageBox&)> act);
  void OnFileDialog(std::function<void(QFileDialog&)> act);
  bool Done() const { return steps_.empty(); }

 private:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void Tick();
  void Dismiss();
  void Activate(QWidget& window);

  std::unique_ptr<QObject> context_;  // cancels the pending ticks
  std::deque<Step> steps_;
  std::chrono::steady_clock::time_point waitingSince_;
  bool dismissing_ = false;
  bool activating_ = false;
};

// The process's QApplication, on Qt's offscreen platform unless
// QT_QPA_PLATFORM names another.
void EnsureOffscreenApplication();

// Installs a desktop front end (offscreen) for the life of the object.
class ScopedDesktopUi {
 public:
  explicit ScopedDesktopUi(std::string transcriptPath = std::string());
  ~ScopedDesktopUi();
  ScopedDesktopUi(const ScopedDesktopUi&) = delete;
  ScopedDesktopUi& operator=(const ScopedDesktopUi&) = delete;
  desktop::DesktopUi& operator*() { return *ui_; }
  desktop::DesktopUi* operator->() { return ui_; }

 private:
  desktop::DesktopUi* ui_;
  std::unique_ptr<platform::UserInterface> previous_;
};

// Person's actions on the widgets of a dialog window.
QWidget& Control(desktop::DialogWindow& window, int id);
void Click(desktop::DialogWindow& window, int id);
// Clicks into the edit, deletes its text and types.
void TypeInto(desktop::DialogWindow& window, int id, const QString& text);
// A key to the window's focused control.
void Press(desktop::DialogWindow& window, int key,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks the message box button labelled label (Shift_JIS).
void Answer(QMessageBox& box, const char* label);
QStringList ButtonLabels(const QMessageBox& box);
// Puts path (POSIX) into the file dialog's name field and presses Enter.
void ChooseFile(QFileDialog& dialog, const std::string& path);

// Text of a Shift_JIS literal as Qt shows it.
QString Shown(const char* cp932);
// The window's content under a drawn caption bar (offscreen windows have
// no frame), saved as build/screenshots/NAME.png; returns the image.
QImage SaveScreenshot(QWidget& window, const std::string& name);

}  // namespace desktop_test

#endif  // TAXLINK_TESTS_DESKTOP_WIDGETDRIVER_H_
