// The user-interface script: whatever its lines, they are read without
// fault, and every step kept has a kind.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/ui/UiScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  platform::UiScript script = platform::UiScript::Parse(fuzz::AsText(data, size), &error);
  while (const nlohmann::ordered_json* step = script.Peek()) {
    platform::UiScript::KindOf(*step);
    if (step->contains("key") && (*step)["key"].is_string()) {
      platform::UiScript::VirtualKeyByName((*step)["key"].get<std::string>());
    }
    script.Pop();
  }
  return 0;
}
