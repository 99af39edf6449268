#ifndef TAXLINK_PLATFORM_UI_UITRANSCRIPT_H_
#define TAXLINK_PLATFORM_UI_UITRANSCRIPT_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/text/WinTypes.h"

namespace platform {

class Dialog;
struct SaveFileRequest;

// What a front end showed and how it was answered: kept in memory and, when
// a file is named, appended to it as UTF-8 JSON lines, each with one write
// at once (the file is whole up to the last entry if the program dies),
// through one descriptor kept open for the run.
class UiTranscript {
 public:
  // keepEntries false: entries only go to the file (none kept in memory).
  explicit UiTranscript(std::string filePath = std::string(), bool keepEntries = true);
  ~UiTranscript();
  UiTranscript(const UiTranscript&) = delete;
  UiTranscript& operator=(const UiTranscript&) = delete;

  void Add(nlohmann::ordered_json entry);
  // Whether an added entry goes anywhere: a caller may skip building one.
  bool Records() const { return keepEntries_ || !filePath_.empty(); }
  const std::vector<nlohmann::ordered_json>& Entries() const { return entries_; }

  // The entries of the front ends. Shift_JIS texts become UTF-8.
  static nlohmann::ordered_json Message(HWND owner, std::string_view text, std::string_view caption,
                                        uint32_t style, std::string_view answer);
  static nlohmann::ordered_json DialogEnded(const Dialog& dialog);
  static nlohmann::ordered_json Modeless(const Dialog& dialog, std::string_view state);
  static nlohmann::ordered_json SaveAs(const SaveFileRequest& request, bool confirmed);

  // Modeless dialogs: adds the progress entry that a change calls for (the
  // first report is "created", then "shown", "hidden" and "ended"; a report
  // of a visible dialog without such a change is a "repaint", which the
  // dialog sends at most about 30 times a second). True when the dialog was
  // created, shown, hidden or ended.
  bool ModelessChanged(const Dialog& dialog);
  void ModelessDestroyed(const Dialog& dialog);

  // "ok", "okcancel" or "yesno"; the answer given when nobody answers:
  // No, else Cancel, else OK.
  static std::string ButtonsName(uint32_t style);
  static std::string IconName(uint32_t style);
  static std::string SafeAnswer(uint32_t style);
  static bool IsButtonOf(std::string_view answer, uint32_t style);
  static int AnswerId(std::string_view answer);

 private:
  struct ModelessState {
    bool visible = false;
    bool ended = false;
  };

  std::string filePath_;
  int file_ = -1;  // opened at the first entry
  bool keepEntries_ = true;
  std::vector<nlohmann::ordered_json> entries_;
  std::map<HWND, ModelessState> modeless_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_UI_UITRANSCRIPT_H_
