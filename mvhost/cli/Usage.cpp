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
    {"import",
     "mvhost [--home DIR] import [--replace] [--encoding ENCODING] [--csv-encoding "
     "ENCODING] [--warnings all|none] FILE.json"},
    {"export", "mvhost [--home DIR] export [DATA-NUMBER] [--journals-csv FILE]"},
    {"check", "mvhost [--home DIR] check [DATA-NUMBER] [--months S-E] [--json]"},
    {"list", "mvhost [--home DIR] list"},
    {"select", "mvhost [--home DIR] select USER DATA-NUMBER"},
    {"state", "mvhost [--home DIR] state [KEY [VALUE]]"},
    {"launch",
     "mvhost [--home DIR] launch EDITION [--function-id N] [--path TEXT] [--program PATH] "
     "[--sheet]"},
    {"batch",
     "mvhost [--home DIR] batch --out DIR (--months S-E | --whole-period) [--method "
     "journals|saved] [--edition Alto|Std|Serena] [--overwrite] [-j N] [--resume] "
     "[--no-findings] [--program PATH] (DATA-NUMBER... | --all)"},
    {"runs", "mvhost [--home DIR] runs [--data DATA-NUMBER] [--json]"},
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

bool ParseMonthRange(const std::string& text, int* startMonth, int* endMonth) {
  size_t dash = text.find('-');
  if (dash == std::string::npos) return false;
  int months[2] = {0, 0};
  std::string parts[2] = {text.substr(0, dash), text.substr(dash + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].empty() || parts[i].size() > 2) return false;
    for (char c : parts[i]) {
      if (c < '0' || c > '9') return false;
      months[i] = months[i] * 10 + (c - '0');
    }
    if (months[i] < 1 || months[i] > 12) return false;
  }
  *startMonth = months[0];
  *endMonth = months[1];
  return true;
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
