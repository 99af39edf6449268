#include "platform/ui/UiScript.h"

#include "platform/dialog/Dialog.h"
#include "platform/text/Encoding.h"

namespace platform {
namespace {

using Json = nlohmann::ordered_json;

bool IsBlankOrComment(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t\r");
  return first == std::string_view::npos || line[first] == '#';
}

bool HasInt(const Json& step, const char* key) {
  return step.contains(key) && step[key].is_number_integer();
}

// Empty when the step is well formed, else what is wrong with it.
std::string CheckStep(const Json& step) {
  if (!step.is_object()) return "a step must be a JSON object";
  if (step.contains("dialog") && !step["dialog"].is_number_integer()) {
    return "\"dialog\" must be a number";
  }
  int kinds = static_cast<int>(step.contains("do")) + static_cast<int>(step.contains("answer")) +
              static_cast<int>(step.contains("saveas"));
  if (kinds != 1) return "a step needs exactly one of \"do\", \"answer\" and \"saveas\"";
  if (step.contains("answer")) {
    const Json& answer = step["answer"];
    if (!answer.is_string() ||
        (answer != "yes" && answer != "no" && answer != "ok" && answer != "cancel")) {
      return "\"answer\" must be \"yes\", \"no\", \"ok\" or \"cancel\"";
    }
    if (step.contains("expect") && !step["expect"].is_string()) return "\"expect\" must be text";
    if (step.contains("optional") && (!step["optional"].is_boolean() || !step.contains("expect"))) {
      return "\"optional\" must be true or false, on an answer with \"expect\"";
    }
    return std::string();
  }
  if (step.contains("saveas")) {
    if (!step["saveas"].is_string() && !step["saveas"].is_null()) {
      return "\"saveas\" must be a path or null";
    }
    return std::string();
  }
  const Json& action = step["do"];
  if (!action.is_string()) return "\"do\" must be text";
  if (action == "type") {
    if (!HasInt(step, "id") || !step.contains("text") || !step["text"].is_string()) {
      return "\"type\" needs a numeric \"id\" and a \"text\"";
    }
  } else if (action == "click" || action == "focus") {
    if (!HasInt(step, "id")) return "\"" + action.get<std::string>() + "\" needs a numeric \"id\"";
  } else if (action == "key") {
    if (!step.contains("key") || !step["key"].is_string() ||
        UiScript::VirtualKeyByName(step["key"].get<std::string>()) == 0) {
      return "\"key\" must be \"Enter\", \"Esc\", \"F12\", \"Tab\" or a letter A-Z or digit";
    }
    if (step.contains("mods")) {
      if (!step["mods"].is_array()) return "\"mods\" must be a list";
      for (const Json& mod : step["mods"]) {
        if (mod != "shift" && mod != "ctrl" && mod != "alt") {
          return "\"mods\" may hold only \"shift\", \"ctrl\" and \"alt\"";
        }
      }
    }
  } else if (action != "close") {
    return "unknown action \"" + action.get<std::string>() + "\"";
  }
  return std::string();
}

}  // namespace

UiScript UiScript::Parse(std::string_view text, std::string* error) {
  UiScript script;
  if (error != nullptr) error->clear();
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (IsBlankOrComment(line)) continue;
    Json step = Json::parse(line, nullptr, false);
    std::string converted;
    if (step.is_discarded() && TryCp932ToUtf8(line, &converted) && converted != line) {
      // Script text from a program literal is Shift_JIS, not UTF-8.
      step = Json::parse(converted, nullptr, false);
    }
    std::string problem = step.is_discarded() ? "not valid JSON" : CheckStep(step);
    if (!problem.empty()) {
      if (error != nullptr) *error = "line " + std::to_string(lineNumber) + ": " + problem;
      break;
    }
    script.steps_.push_back(std::move(step));
  }
  return script;
}

const nlohmann::ordered_json* UiScript::Peek() const {
  return next_ < steps_.size() ? &steps_[next_] : nullptr;
}

void UiScript::Pop() {
  if (next_ < steps_.size()) ++next_;
}

UiScript::StepKind UiScript::KindOf(const nlohmann::ordered_json& step) {
  if (step.contains("answer")) return StepKind::kAnswer;
  if (step.contains("saveas")) return StepKind::kSaveAs;
  return StepKind::kDialogAction;
}

int UiScript::VirtualKeyByName(std::string_view name) {
  if (name == "Enter") return kVkReturn;
  if (name == "Esc") return kVkEscape;
  if (name == "F12") return kVkF12;
  if (name == "Tab") return kVkTab;
  // A letter or digit: its virtual key code (mnemonics).
  if (name.size() == 1) {
    char key = name[0];
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
  }
  return 0;
}

}  // namespace platform
