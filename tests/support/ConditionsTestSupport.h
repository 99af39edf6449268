#ifndef TAXLINK_TESTS_SUPPORT_CONDITIONSTESTSUPPORT_H_
#define TAXLINK_TESTS_SUPPORT_CONDITIONSTESTSUPPORT_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/UserInterface.h"

namespace taxlink::testing {

// A private folder under /tmp, removed with everything in it.
class ConditionsTempDir {
 public:
  ConditionsTempDir();
  ~ConditionsTempDir();
  ConditionsTempDir(const ConditionsTempDir&) = delete;
  ConditionsTempDir& operator=(const ConditionsTempDir&) = delete;

  const std::string& Posix() const { return posix_; }
  // The POSIX path of name (UTF-8) inside the folder.
  std::string PosixOf(const std::string& name) const { return posix_ + "/" + name; }

 private:
  std::string posix_;
};

// Sets an environment variable for the life of the object.
class ConditionsScopedEnv {
 public:
  ConditionsScopedEnv(const char* name, const std::string& value);
  ~ConditionsScopedEnv();
  ConditionsScopedEnv(const ConditionsScopedEnv&) = delete;
  ConditionsScopedEnv& operator=(const ConditionsScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// One message box the program showed.
struct ShownMessage {
  std::string text;     // Shift_JIS
  std::string caption;  // Shift_JIS
  uint32_t style = 0;
};

// A front end that records message boxes and answers them from a queue
// (IDOK for OK boxes, IDYES for questions when the queue is empty), answers
// the save-as dialog as told, and runs a modal dialog by creating it and
// handing it to an optional action.
class ConditionsRecordingUi : public platform::UserInterface {
 public:
  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(platform::Dialog& dialog) override;
  void ModelessChanged(platform::Dialog&) override {}
  void ModelessDestroyed(platform::Dialog&) override {}
  bool GetSaveFileName(platform::SaveFileRequest& request) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  std::vector<ShownMessage> messages;
  std::deque<int> answers;
  // Save-as: the request seen, and the path chosen (none = cancelled).
  std::optional<platform::SaveFileRequest> lastSaveRequest;
  std::optional<std::string> saveAnswer;
  // What the user does in a modal dialog after it was created.
  std::function<void(platform::Dialog&)> modalAction;
};

// Installs a ConditionsRecordingUi for the life of the object.
class ConditionsUiScope {
 public:
  ConditionsUiScope();
  ~ConditionsUiScope();
  ConditionsUiScope(const ConditionsUiScope&) = delete;
  ConditionsUiScope& operator=(const ConditionsUiScope&) = delete;

  ConditionsRecordingUi& ui() { return *ui_; }

 private:
  ConditionsRecordingUi* ui_;
  std::unique_ptr<platform::UserInterface> previous_;
};

// Reads and writes whole files by POSIX path.
std::string ConditionsReadFile(const std::string& posixPath);
void ConditionsWriteFile(const std::string& posixPath, const std::string& bytes);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_CONDITIONSTESTSUPPORT_H_
