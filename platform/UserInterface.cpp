#include "platform/UserInterface.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/NoneUi.h"
#include "platform/ScriptedUi.h"

namespace platform {
namespace {

// Never destroyed: dialogs owned by static objects may still report to the
// front end while the process exits.
std::unique_ptr<UserInterface>& Current() {
  static auto* current = new std::unique_ptr<UserInterface>();
  return *current;
}

UiFactory& TerminalFactory() {
  static UiFactory factory = nullptr;
  return factory;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::unique_ptr<UserInterface> MakeUiFromEnvironment() {
  std::string transcript = Environment("TAXLINK_UI_TRANSCRIPT");
  std::string script = Environment("TAXLINK_UI_SCRIPT");
  if (!script.empty()) return ScriptedUi::FromFile(script, transcript);
  if (TerminalFactory() != nullptr && isatty(STDIN_FILENO) == 1) {
    if (std::unique_ptr<UserInterface> terminal = TerminalFactory()()) return terminal;
  }
  return std::make_unique<NoneUi>(transcript);
}

UserInterface& Ui() {
  std::unique_ptr<UserInterface>& current = Current();
  if (!current) current = MakeUiFromEnvironment();
  return *current;
}

std::unique_ptr<UserInterface> SetUi(std::unique_ptr<UserInterface> ui) {
  std::unique_ptr<UserInterface> previous = std::move(Current());
  Current() = std::move(ui);
  return previous;
}

void SetTerminalUiFactory(UiFactory factory) { TerminalFactory() = factory; }

}  // namespace platform
