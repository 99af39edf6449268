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

// A relative file name from the environment is taken from the folder the
// program was started in (PWD): the run changes to its own folder before
// the front end is first used.
std::string StartFolderPath(const char* name) {
  std::string path = Environment(name);
  std::string start = Environment("PWD");
  if (!path.empty() && path.front() != '/' && !start.empty() && start.front() == '/') {
    if (start.back() != '/') start.push_back('/');
    path = start + path;
  }
  return path;
}

}  // namespace

std::unique_ptr<UserInterface> MakeUiFromEnvironment() {
  std::string transcript = StartFolderPath("TAXLINK_UI_TRANSCRIPT");
  std::string script = StartFolderPath("TAXLINK_UI_SCRIPT");
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
