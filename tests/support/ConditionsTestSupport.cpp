#include "tests/support/ConditionsTestSupport.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/dialog/Dialog.h"
#include "platform/text/WinTypes.h"

namespace taxlink::testing {

ConditionsTempDir::ConditionsTempDir() {
  char pattern[] = "/tmp/taxlink-conditions-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  posix_ = pattern;
}

ConditionsTempDir::~ConditionsTempDir() {
  std::error_code error;
  // Make every folder writable again so that everything can go.
  for (auto it = std::filesystem::recursive_directory_iterator(posix_, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(posix_, error);
}

ConditionsScopedEnv::ConditionsScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  ::setenv(name, value.c_str(), 1);
}

ConditionsScopedEnv::~ConditionsScopedEnv() {
  if (old_) {
    ::setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

int ConditionsRecordingUi::MessageBox(HWND, std::string_view text, std::string_view caption,
                                      uint32_t style) {
  messages.push_back({std::string(text), std::string(caption), style});
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

int ConditionsRecordingUi::RunModal(platform::Dialog& dialog) {
  dialog.Create();
  if (modalAction && !dialog.IsEnded()) modalAction(dialog);
  return dialog.Result();
}

bool ConditionsRecordingUi::GetSaveFileName(platform::SaveFileRequest& request) {
  lastSaveRequest = request;
  if (!saveAnswer) return false;
  request.chosenPath = *saveAnswer;
  return true;
}

ConditionsUiScope::ConditionsUiScope() {
  auto ui = std::make_unique<ConditionsRecordingUi>();
  ui_ = ui.get();
  previous_ = platform::SetUi(std::move(ui));
}

ConditionsUiScope::~ConditionsUiScope() { platform::SetUi(std::move(previous_)); }

std::string ConditionsReadFile(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ConditionsWriteFile(const std::string& posixPath, const std::string& bytes) {
  std::ofstream out(posixPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace taxlink::testing
