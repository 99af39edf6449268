#ifndef TAXLINK_PLATFORM_UI_UISCRIPT_H_
#define TAXLINK_PLATFORM_UI_UISCRIPT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace platform {

// The steps of a user-interface script: UTF-8 JSON lines, one step a line;
// blank lines and lines starting with "#" are ignored. Steps are consumed
// in order by the scripted front end.
class UiScript {
 public:
  enum class StepKind { kDialogAction, kAnswer, kSaveAs };

  UiScript() = default;
  // Reads the steps of text. A malformed line ends the script there; error
  // then describes it ("line N: ...") and the steps before it are kept.
  static UiScript Parse(std::string_view text, std::string* error);

  const nlohmann::ordered_json* Peek() const;
  void Pop();
  std::size_t Remaining() const { return steps_.size() - next_; }

  static StepKind KindOf(const nlohmann::ordered_json& step);
  // The virtual key of a "key" step's key name, or 0.
  static int VirtualKeyByName(std::string_view name);

 private:
  std::vector<nlohmann::ordered_json> steps_;
  std::size_t next_ = 0;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_UI_UISCRIPT_H_
