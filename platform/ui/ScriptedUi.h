#ifndef TAXLINK_PLATFORM_UI_SCRIPTEDUI_H_
#define TAXLINK_PLATFORM_UI_SCRIPTEDUI_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/dialog/UserInterface.h"
#include "platform/ui/UiScript.h"
#include "platform/ui/UiTranscript.h"

namespace platform {

// The front end that follows a script (docs/ui-script.md) instead of a
// user: dialog actions, message box answers and save-as choices are taken
// in order. Whatever the script did not foresee is recorded as a mismatch
// and answered the safe way (a dialog is cancelled, a message box gets No,
// else Cancel, else OK, a save-as dialog is cancelled).
class ScriptedUi : public UserInterface {
 public:
  // Steps from script text; transcriptPath, when not empty, names the file
  // the transcript is appended to. A malformed line is reported on standard
  // error and ends the script.
  // keepTranscript false keeps no entries in memory (Transcript() and
  // Events() stay empty; the file still gets every entry).
  explicit ScriptedUi(std::string_view scriptText, std::string transcriptPath = std::string(),
                      bool keepTranscript = true);
  // The script in the POSIX file scriptPath; a file that cannot be read is
  // reported on standard error and gives an empty script. The program's
  // front end: its transcript is the file's alone, so a run without one
  // builds no entries.
  static std::unique_ptr<ScriptedUi> FromFile(const std::string& scriptPath,
                                              std::string transcriptPath);

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(Dialog& dialog) override;
  void ModelessChanged(Dialog& dialog) override;
  void ModelessDestroyed(Dialog& dialog) override;
  bool GetSaveFileName(SaveFileRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

  // The transcript entries so far, in order.
  const std::vector<nlohmann::ordered_json>& Transcript() const { return transcript_.Entries(); }
  // The entries of one event kind ("message", "dialog", "saveas",
  // "progress", "mismatch").
  std::vector<nlohmann::ordered_json> Events(std::string_view event) const;
  int MismatchCount() const { return mismatches_; }
  std::size_t RemainingSteps() const { return script_.Remaining(); }
  // The problem with the script text ("line N: ..."), empty when none.
  const std::string& ScriptError() const { return scriptError_; }
  int WaitCursorDepth() const { return waitCursor_; }

 private:
  void Mismatch(const nlohmann::ordered_json* expected, std::string_view got,
                const std::string& detail);
  bool Perform(Dialog& dialog, const nlohmann::ordered_json& step, std::string* problem);
  void CancelDialog(Dialog& dialog);

  std::string scriptError_;  // before script_, which is parsed into it
  UiScript script_;
  UiTranscript transcript_;
  int mismatches_ = 0;
  int cancelling_ = 0;  // dialogs being ended the cancel way
  int waitCursor_ = 0;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_UI_SCRIPTEDUI_H_
