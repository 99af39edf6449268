#ifndef TAXLINK_DESKTOP_DESKTOPUI_H_
#define TAXLINK_DESKTOP_DESKTOPUI_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/RepaintThrottle.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/UiTranscript.h"

class QWidget;

namespace desktop {

class DialogWindow;

// The front end for a person at a display, on Qt Widgets: every dialog of
// the model gets a window, message boxes and the save-as dialog are Qt's,
// and the transcript is the one the other front ends write. Modeless
// windows are repainted at most about 30 times a second, however often the
// model reports a change.
class DesktopUi : public platform::UserInterface {
 public:
  // Needs the process's QApplication (EnsureApplication).
  explicit DesktopUi(std::string transcriptPath = std::string());
  ~DesktopUi() override;

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(platform::Dialog& dialog) override;
  void ModelessChanged(platform::Dialog& dialog) override {
    // The common case, a repaint that is not due, returns here.
    if (&dialog == lastModeless_ && dialog.IsVisible() == lastVisible_ &&
        dialog.IsEnded() == lastEnded_ && !throttle_.Due()) {
      return;
    }
    UpdateModeless(dialog);
  }
  void ModelessDestroyed(platform::Dialog& dialog) override;
  bool GetSaveFileName(platform::SaveFileRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

  const platform::UiTranscript& Transcript() const { return transcript_; }
  // The window of a dialog that is open (modal) or alive (modeless).
  DialogWindow* WindowOf(HWND handle) const;
  int WaitCursorDepth() const { return waitCursor_; }
  // How often the modeless windows were repainted.
  long long ModelessRepaints() const { return modelessRepaints_; }

 private:
  void UpdateModeless(platform::Dialog& dialog);
  // The visible window that owns a message box or dialog of owner.
  QWidget* OwnerWidget(HWND owner) const;

  platform::UiTranscript transcript_;
  std::map<HWND, DialogWindow*> modal_;
  std::map<HWND, std::unique_ptr<DialogWindow>> modeless_;
  platform::RepaintThrottle throttle_;
  const platform::Dialog* lastModeless_ = nullptr;
  bool lastVisible_ = false;
  bool lastEnded_ = false;
  long long modelessRepaints_ = 0;
  int waitCursor_ = 0;
};

// Creates the process's QApplication when there is none; it lives until
// the process ends.
void EnsureApplication();

// The factory for platform::SetDesktopUiFactory: null, with a line on
// standard error, when Qt cannot open the display.
std::unique_ptr<platform::UserInterface> MakeDesktopUi();

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_DESKTOPUI_H_
