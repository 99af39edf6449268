#include "tests/support/PlatformUiFixture.h"

namespace taxlink_test {

ScopedScriptedUi::ScopedScriptedUi(std::string_view script, std::string transcriptPath) {
  auto ui = std::make_unique<platform::ScriptedUi>(script, std::move(transcriptPath));
  ui_ = ui.get();
  previous_ = platform::SetUi(std::move(ui));
}

ScopedScriptedUi::~ScopedScriptedUi() { platform::SetUi(std::move(previous_)); }

std::vector<std::string> ScopedScriptedUi::MessageTexts() const {
  std::vector<std::string> texts;
  for (const nlohmann::ordered_json& entry : ui_->Events("message")) {
    texts.push_back(entry["text"].get<std::string>());
  }
  return texts;
}

}  // namespace taxlink_test
