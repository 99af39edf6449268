#include "mvhost/lib/FaultInjection.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "mvhost/lib/HostCodes.h"

extern char** environ;

namespace mvhost {

namespace {

// Where MVHOST_FAULTS and MVHOST_HOME stood in the environment when it was
// last read. setenv and unsetenv replace an entry's pointer or change the
// array or its length, so an unchanged environment is recognised without
// searching it: a fault point on a call made once per journal line then
// costs a few compares.
struct EnvironmentSnapshot {
  char** array = nullptr;
  size_t length = 0;
  size_t faultsAt = SIZE_MAX;
  size_t homeAt = SIZE_MAX;
  const char* faults = nullptr;
  const char* home = nullptr;

  static EnvironmentSnapshot Take() {
    EnvironmentSnapshot s;
    s.array = environ;
    if (environ == nullptr) return s;
    for (; environ[s.length] != nullptr; ++s.length) {
      const char* entry = environ[s.length];
      if (std::strncmp(entry, "MVHOST_FAULTS=", 14) == 0) {
        s.faultsAt = s.length;
        s.faults = entry;
      } else if (std::strncmp(entry, "MVHOST_HOME=", 12) == 0) {
        s.homeAt = s.length;
        s.home = entry;
      }
    }
    return s;
  }
  bool Unchanged() const {
    if (environ != array || environ == nullptr) return false;
    if (environ[length] != nullptr || (length > 0 && environ[length - 1] == nullptr)) return false;
    return (faultsAt == SIZE_MAX || environ[faultsAt] == faults) &&
           (homeAt == SIZE_MAX || environ[homeAt] == home);
  }
};

struct FaultTable {
  bool loaded = false;
  EnvironmentSnapshot snapshot;
  std::string env;
  std::string home;
  std::map<std::string, int32_t> entries;
};

FaultTable& Table() {
  static FaultTable table;
  return table;
}

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

// Reads the entries again when forced or when either variable changed; the
// caller has found the environment changed since the last snapshot.
void Refresh(FaultTable& table, bool force) {
  table.snapshot = EnvironmentSnapshot::Take();
  std::string env = EnvText("MVHOST_FAULTS");
  std::string home = EnvText("MVHOST_HOME");
  if (!force && table.loaded && env == table.env && home == table.home) return;
  table.loaded = true;
  table.env = env;
  table.home = home;
  table.entries.clear();
  if (!home.empty()) {
    std::ifstream file(home + "/faults");
    std::string line;
    std::string text;
    while (std::getline(file, line)) {
      text += line.substr(0, line.find('#'));
      text += '\n';
    }
    FaultInjection::Parse(text, &table.entries);
  }
  std::map<std::string, int32_t> fromEnv;
  FaultInjection::Parse(env, &fromEnv);
  for (const auto& [name, code] : fromEnv) table.entries[name] = code;
}

}  // namespace

bool FaultInjection::Parse(std::string_view text, std::map<std::string, int32_t>* entries) {
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
      ok = false;
      continue;
    }
    (*entries)[std::string(Trim(entry.substr(0, eq)))] = code;
  }
  return ok;
}

namespace {

// The entry of a call when there are entries; apart from Find so that the
// check every call makes stays a few instructions.
[[gnu::noinline]] std::optional<int32_t> Lookup(const FaultTable& table, std::string_view call) {
  auto it = table.entries.find(std::string(call));
  if (it == table.entries.end()) return std::nullopt;
  return it->second;
}

}  // namespace

std::optional<int32_t> FaultInjection::Find(std::string_view call) {
  FaultTable& table = Table();
  // The check of every call, once per journal line on some: compares only.
  if (!table.loaded || !table.snapshot.Unchanged()) Refresh(table, false);
  if (table.entries.empty()) return std::nullopt;
  return Lookup(table, call);
}

bool FaultInjection::CreationFails(std::string_view className) {
  std::string name = "new ";
  name += className;
  return Find(name).has_value();
}

void FaultInjection::Reload() { Refresh(Table(), true); }

}  // namespace mvhost
