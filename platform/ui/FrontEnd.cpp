#include "platform/ui/FrontEnd.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ui/NoneUi.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/UserWaitGuard.h"

namespace platform {
namespace {

UiFactory& TerminalFactory() {
  static UiFactory factory = nullptr;
  return factory;
}

UiFactory& DesktopFactory() {
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

std::string UiTranscriptPathFromEnvironment() { return StartFolderPath("TAXLINK_UI_TRANSCRIPT"); }

std::string UiScriptProblem() {
  std::string script = StartFolderPath("TAXLINK_UI_SCRIPT");
  std::string chosen = Environment("TAXLINK_UI");
  if (script.empty() || !(chosen.empty() || chosen == "script")) return std::string();
  std::FILE* file = std::fopen(script.c_str(), "rb");
  if (file != nullptr) {
    std::fclose(file);
    return std::string();
  }
  return "cannot read the user interface script " + script +
         " (TAXLINK_UI_SCRIPT): " + std::strerror(errno);
}

std::unique_ptr<UserInterface> MakeUiFromEnvironment() {
  std::string transcript = UiTranscriptPathFromEnvironment();
  std::string script = StartFolderPath("TAXLINK_UI_SCRIPT");
  std::string chosen = Environment("TAXLINK_UI");
  if (chosen == "script" && script.empty()) {
    std::fputs("taxlink: TAXLINK_UI=script but TAXLINK_UI_SCRIPT names no script\n", stderr);
    return std::make_unique<NoneUi>(transcript);
  }
  if (chosen == "script" || (chosen.empty() && !script.empty())) {
    return ScriptedUi::FromFile(script, transcript);
  }
  bool display = !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty();
  bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
  struct Candidate {
    const char* name;
    UiFactory factory;
    bool present;  // what the environment offers it
  } candidates[] = {{"desktop", DesktopFactory(), display},
                    {"terminal", TerminalFactory(), terminal}};
  bool known = chosen.empty() || chosen == "none";
  for (const Candidate& candidate : candidates) {
    bool named = chosen == candidate.name;
    known = known || named;
    if (!named && !(chosen.empty() && candidate.present)) continue;
    if (candidate.factory == nullptr) {
      if (named) {
        std::fprintf(stderr,
                     "taxlink: TAXLINK_UI=%s names a front end this program was built without\n",
                     candidate.name);
      }
      continue;
    }
    if (std::unique_ptr<UserInterface> ui = candidate.factory()) return ui;
  }
  if (!known) {
    std::fprintf(stderr,
                 "taxlink: TAXLINK_UI=%s is not a front end (desktop, terminal, script or none)\n",
                 chosen.c_str());
  }
  return std::make_unique<NoneUi>(transcript);
}

UserInterface& Ui() {
  if (CurrentUi() == nullptr) SetUi(std::make_unique<UserWaitGuard>(MakeUiFromEnvironment()));
  return *CurrentUi();
}

void SetTerminalUiFactory(UiFactory factory) { TerminalFactory() = factory; }

void SetDesktopUiFactory(UiFactory factory) { DesktopFactory() = factory; }

}  // namespace platform
