#ifndef TAXLINK_TERMINAL_TERMINALUI_H_
#define TAXLINK_TERMINAL_TERMINALUI_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/RepaintThrottle.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/NoneUi.h"
#include "platform/ui/UiTranscript.h"
#include "terminal/CellGrid.h"
#include "terminal/DialogView.h"
#include "terminal/Key.h"
#include "terminal/TerminalScreen.h"

namespace terminal {

class MessageBoxView;
class SaveAsView;

// The front end for a person at a terminal (also over SSH): the dialog
// model, message boxes, the save-as dialog and the progress window drawn
// with curses and answered from the keyboard. It writes the same
// transcript as the other front ends. The terminal is taken when something
// is first shown and given back by ReleaseTerminal or when the process ends.
class TerminalUi : public platform::UserInterface {
 public:
  explicit TerminalUi(std::string transcriptPath);
  ~TerminalUi() override;

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(platform::Dialog& dialog) override;
  // Called on every progress operation: without a change of the window's
  // state it costs a comparison and a countdown, and repaints at most
  // about 30 times a second.
  void ModelessChanged(platform::Dialog& dialog) override;
  void ModelessDestroyed(platform::Dialog& dialog) override;
  bool GetSaveFileName(platform::SaveFileRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  // What is shown above the modeless windows, bottom first.
  struct Layer {
    DialogView* dialog = nullptr;
    MessageBoxView* message = nullptr;
    SaveAsView* saveAs = nullptr;
  };
  class LayerScope;

  bool EnsureScreen();
  void Paint();
  // Reads and handles keys until done() holds, painting what they changed.
  void Loop(const std::function<bool()>& done, const std::function<void(const Key&)>& handle);
  void ShowHelp(const std::string& text);
  void ModelessStateChanged(platform::Dialog& dialog);

  std::string transcriptPath_;
  TerminalScreen screen_;
  CellGrid grid_{0, 0};
  platform::UiTranscript transcript_;
  std::unique_ptr<platform::NoneUi> fallback_;  // when the terminal cannot be set up
  std::vector<Layer> layers_;
  std::vector<std::unique_ptr<DialogView>> modeless_;
  platform::RepaintThrottle throttle_;
  int64_t lastPaint_ = 0;
  int waitCursor_ = 0;
  // The last modeless report, for the cheap path of the next one.
  const platform::Dialog* lastReported_ = nullptr;
  bool lastVisible_ = false;
  bool lastEnded_ = false;
};

// The factory for platform::SetTerminalUiFactory: the terminal front end, or
// null (with the reason on standard error) when this process's terminal
// cannot be driven.
std::unique_ptr<platform::UserInterface> MakeTerminalUi();

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_TERMINALUI_H_
