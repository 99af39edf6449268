#include "tests/hosts/FaultTable.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace hosts {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool ParseCode(std::string_view text, int32_t* code) {
  if (text == "fail") {
    *code = kFaultFail;
    return true;
  }
  if (text.empty() || text.size() > 11) return false;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  long long value = std::strtoll(std::string(text).c_str(), nullptr, 10);
  if (value < INT32_MIN || value > INT32_MAX) return false;
  *code = static_cast<int32_t>(value);
  return true;
}

std::string EnvText(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

FaultTable& FaultTable::Instance() {
  static FaultTable table;
  return table;
}

bool FaultTable::Parse(std::string_view text, std::map<std::string, int32_t>* entries,
                       std::vector<std::string>* problems) {
  bool ok = true;
  while (!text.empty()) {
    size_t end = text.find_first_of(",;\n");
    std::string_view entry = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (entry.empty()) continue;
    size_t eq = entry.find('=');
    int32_t code = 0;
    if (eq == std::string_view::npos || Trim(entry.substr(0, eq)).empty() ||
        !ParseCode(Trim(entry.substr(eq + 1)), &code)) {
      problems->push_back("\"" + std::string(entry) +
                          "\" is not NAME=CODE (CODE an integer or fail)");
      ok = false;
      continue;
    }
    const std::string name(Trim(entry.substr(0, eq)));
    FaultPoint point;
    if (!FaultPointNamed(name, &point)) {
      problems->push_back("no host call has the fault name " + name);
      ok = false;
      continue;
    }
    (*entries)[name] = code;
  }
  return ok;
}

std::string FaultTable::Announcement(const std::map<std::string, int32_t>& entries) {
  std::string injected;
  for (const auto& [name, code] : entries) {
    injected += (injected.empty() ? "" : ", ") + name + "=" + std::to_string(code);
  }
  return injected.empty() ? std::string() : "mvhost: injecting faults: " + injected + "\n";
}

std::string FaultTable::Refusal(const std::string& source,
                                const std::vector<std::string>& problems) {
  std::string line = "mvhost: fault setting " + source + " refused, none of its faults injected: ";
  for (size_t i = 0; i < problems.size(); ++i) line += (i > 0 ? "; " : "") + problems[i];
  return line + "\n";
}

void FaultTable::Refresh(bool force) {
  std::string env = EnvText("MVHOST_FAULTS");
  std::string home = EnvText("MVHOST_HOME");
  if (!force && loaded_ && env == env_ && home == home_) return;
  loaded_ = true;
  env_ = env;
  home_ = home;
  std::string said;
  refused_ = false;
  // Each source's entries, unless the source is refused.
  auto take = [&](const std::string& text, const std::string& source,
                  std::map<std::string, int32_t>* entries) {
    std::vector<std::string> problems;
    std::map<std::string, int32_t> parsed;
    if (Parse(text, &parsed, &problems)) {
      for (const auto& [name, code] : parsed) (*entries)[name] = code;
      return;
    }
    said += Refusal(source, problems);
    refused_ = true;
  };
  std::map<std::string, int32_t> entries;
  if (!home.empty()) {
    std::ifstream file(home + "/faults");
    std::string line;
    std::string text;
    while (std::getline(file, line)) {
      text += line.substr(0, line.find('#'));
      text += '\n';
    }
    take(text, home + "/faults", &entries);
  }
  take(env, "MVHOST_FAULTS", &entries);
  codes_.fill(std::nullopt);
  for (const auto& [name, code] : entries) {
    FaultPoint point;
    if (FaultPointNamed(name, &point)) codes_[static_cast<size_t>(point)] = code;
  }
  said += Announcement(entries);
  if (!said.empty() && said != announced_) std::fputs(said.c_str(), stderr);
  announced_ = said;
}

std::optional<int32_t> FaultTable::Find(FaultPoint point) {
  if (observer_) observer_(point);
  Refresh(false);
  return codes_[static_cast<size_t>(point)];
}

void FaultTable::Reload() { Refresh(true); }

}  // namespace hosts
