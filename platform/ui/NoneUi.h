#ifndef TAXLINK_PLATFORM_UI_NONEUI_H_
#define TAXLINK_PLATFORM_UI_NONEUI_H_

#include <string>

#include "platform/dialog/UserInterface.h"
#include "platform/ui/UiTranscript.h"

namespace platform {

// The front end of a process without a terminal and without a script:
// nobody can answer, so every dialog is cancelled at once and every message
// box gets the safe answer (No, else Cancel, else OK). Both are reported on
// standard error in UTF-8.
class NoneUi : public UserInterface {
 public:
  explicit NoneUi(std::string transcriptPath = std::string());

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(Dialog& dialog) override;
  void ModelessChanged(Dialog& dialog) override;
  void ModelessDestroyed(Dialog& dialog) override;
  bool GetSaveFileName(SaveFileRequest& request) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  const std::vector<nlohmann::ordered_json>& Transcript() const { return transcript_.Entries(); }

 private:
  UiTranscript transcript_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_UI_NONEUI_H_
