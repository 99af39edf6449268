#ifndef TAXLINK_TESTS_SUPPORT_PLATFORMUIFIXTURE_H_
#define TAXLINK_TESTS_SUPPORT_PLATFORMUIFIXTURE_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/dialog/UserInterface.h"
#include "platform/ui/ScriptedUi.h"

namespace taxlink_test {

// Installs a scripted front end for the life of the object and restores the
// previous one afterwards:
//   ScopedScriptedUi ui(R"({"do":"click","id":1005}
//   {"answer":"yes","expect":"上書き"})");
//   ... run the code under test ...
//   EXPECT_EQ(ui->MismatchCount(), 0);
class ScopedScriptedUi {
 public:
  explicit ScopedScriptedUi(std::string_view script, std::string transcriptPath = std::string());
  ~ScopedScriptedUi();
  ScopedScriptedUi(const ScopedScriptedUi&) = delete;
  ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;

  platform::ScriptedUi* operator->() { return ui_; }
  platform::ScriptedUi& Get() { return *ui_; }
  // The UTF-8 texts of the message boxes shown so far.
  std::vector<std::string> MessageTexts() const;

 private:
  platform::ScriptedUi* ui_;
  std::unique_ptr<platform::UserInterface> previous_;
};

}  // namespace taxlink_test

#endif  // TAXLINK_TESTS_SUPPORT_PLATFORMUIFIXTURE_H_
