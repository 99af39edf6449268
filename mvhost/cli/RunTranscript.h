#ifndef TAXLINK_MVHOST_CLI_RUNTRANSCRIPT_H_
#define TAXLINK_MVHOST_CLI_RUNTRANSCRIPT_H_

#include <optional>
#include <string>
#include <vector>

namespace mvhost {

// A message box of a run as its transcript tells it (UTF-8).
struct ShownMessage {
  std::string text;
  std::string buttons;  // ok, okcancel, yesno
  std::string answer;
  bool foreseen = true;  // false: the script had no answer for it
};

// The conditions the run took: the conditions dialog that ended with its
// Run button.
struct TakenConditions {
  int startMonth = 0;
  int endMonth = 0;
  std::string method;       // journals or saved
  std::string windowsPath;  // the output path as typed (UTF-8)
};

// What the host learns of a run from its UI transcript
// (TAXLINK_UI_TRANSCRIPT, docs/ui-script.md).
struct RunTranscript {
  std::vector<ShownMessage> messages;
  // Script steps that could not be done in a dialog, and dialogs the
  // script had no action for.
  std::vector<std::string> dialogMismatches;
  std::optional<TakenConditions> conditions;

  // Reads a transcript file; a missing file or line that is no JSON object
  // gives what the lines before it gave.
  static RunTranscript Read(const std::string& path);
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_RUNTRANSCRIPT_H_
