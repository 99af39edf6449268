#include "mvhost/cli/BatchRunLog.h"

#include <charconv>
#include <optional>

#include "mvhost/lib/HostStore.h"

namespace mvhost {

namespace {

// The hand-over's fields are separated by NUL, which no text of an entry
// holds (paths are C strings), so texts go byte for byte; a number that
// is not there is an empty field.
constexpr char kSeparator = '\0';
constexpr size_t kFields = 12;

template <typename T>
std::string NumberText(const std::optional<T>& value) {
  return value ? std::to_string(*value) : std::string();
}

template <typename T>
bool ReadNumber(std::string_view text, T* value) {
  const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return failed == std::errc() && end == text.data() + text.size();
}

template <typename T>
bool ReadOptional(std::string_view text, std::optional<T>* value) {
  if (text.empty()) {
    value->reset();
    return true;
  }
  T number{};
  if (!ReadNumber(text, &number)) return false;
  *value = number;
  return true;
}

}  // namespace

std::string BatchRunLog::Text(const RunLogEntry& entry) {
  const std::string fields[kFields] = {entry.startedAt,
                                       entry.userId,
                                       NumberText(entry.dataNo),
                                       entry.edition,
                                       NumberText(entry.startMonth),
                                       NumberText(entry.endMonth),
                                       entry.method,
                                       entry.result,
                                       entry.reportPath,
                                       entry.reportSha256,
                                       std::to_string(entry.durationMs),
                                       entry.via};
  std::string text;
  for (const std::string& field : fields) {
    text += field;
    text += kSeparator;
  }
  return text;
}

bool BatchRunLog::Parse(std::string_view text, RunLogEntry* entry) {
  std::string_view fields[kFields];
  for (std::string_view& field : fields) {
    const size_t end = text.find(kSeparator);
    if (end == std::string_view::npos) return false;
    field = text.substr(0, end);
    text.remove_prefix(end + 1);
  }
  if (!text.empty() || fields[0].empty()) return false;
  entry->startedAt = fields[0];
  entry->userId = fields[1];
  entry->edition = fields[3];
  entry->method = fields[6];
  entry->result = fields[7];
  entry->reportPath = fields[8];
  entry->reportSha256 = fields[9];
  entry->via = fields[11];
  return ReadOptional(fields[2], &entry->dataNo) && ReadOptional(fields[4], &entry->startMonth) &&
         ReadOptional(fields[5], &entry->endMonth) && ReadNumber(fields[10], &entry->durationMs);
}

bool BatchRunLog::Write(const std::string& home, std::string* error, HostStore* open) {
  if (entries_.empty()) return true;
  HostStore own;
  if (open == nullptr && !own.Open(home, error)) return false;
  HostStore& store = open != nullptr ? *open : own;
  if (!WriteRunLog(store.db(), entries_, error)) return false;
  entries_.clear();
  return true;
}

}  // namespace mvhost
