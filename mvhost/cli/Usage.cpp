#include "mvhost/cli/Usage.h"

#include <iostream>

namespace mvhost {

namespace {

struct CommandUsage {
  const char* name;
  const char* synopsis;
};

const CommandUsage kCommands[] = {
    {"init", "mvhost [--home DIR] init"},
    {"import", "mvhost [--home DIR] import [--replace] [--encoding utf-8|cp932] FILE.json"},
    {"export", "mvhost [--home DIR] export [DATA-NUMBER]"},
    {"list", "mvhost [--home DIR] list"},
    {"select", "mvhost [--home DIR] select USER DATA-NUMBER"},
    {"state", "mvhost [--home DIR] state [KEY [VALUE]]"},
    {"launch", "mvhost [--home DIR] launch EDITION [--function-id N] [--path TEXT] [--program PATH]"},
};

}  // namespace

std::optional<std::string> UnknownCommand(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--home") {
      ++i;
      continue;
    }
    if (arg.rfind("--home=", 0) == 0) continue;
    if (!arg.empty() && arg[0] == '-') return std::nullopt;
    for (const CommandUsage& command : kCommands) {
      if (arg == command.name) return std::nullopt;
    }
    return arg;
  }
  return std::nullopt;
}

int UsageError(const std::string& message, const std::string& command) {
  std::cerr << "mvhost: " << message << "\n";
  const char* prefix = "usage: ";
  for (const CommandUsage& usage : kCommands) {
    if (!command.empty() && command != usage.name) continue;
    std::cerr << prefix << usage.synopsis << "\n";
    prefix = "       ";
  }
  if (command.empty()) std::cerr << prefix << "mvhost --help | --version\n";
  return kUsageErrorStatus;
}

}  // namespace mvhost
