#include "sheet/FindingsFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace taxlink::sheet {

namespace {

using Json = nlohmann::ordered_json;

bool Text(const Json& object, const char* name, std::string* out) {
  auto it = object.find(name);
  if (it == object.end() || !it->is_string()) return false;
  *out = it->get<std::string>();
  return true;
}

// The place without its source ("data set 7:journal 2/line 2" becomes
// "journal 2/line 2"): the section names the data set once.
std::string PlaceInSource(const std::string& place, const std::string& source) {
  if (!source.empty() && place.size() > source.size() &&
      place.compare(0, source.size(), source) == 0 && place[source.size()] == ':') {
    return place.substr(source.size() + 1);
  }
  return place;
}

bool Rows(const Json& list, CheckFindings* findings, std::string* error) {
  for (size_t i = 0; i < list.size(); ++i) {
    const Json& item = list[i];
    FindingRow row;
    std::string source;
    if (!item.is_object() || !Text(item, "rule", &row.rule) || !Text(item, "place", &row.place) ||
        !Text(item, "what", &row.what) || !Text(item, "todo", &row.todo)) {
      *error = "finding " + std::to_string(i + 1) +
               " is not an object with the texts rule, place, what and todo";
      return false;
    }
    Text(item, "source", &source);
    row.place = PlaceInSource(row.place, source);
    findings->rows.push_back(std::move(row));
  }
  return true;
}

// "4-3" into its months.
bool Months(const std::string& text, int* start, int* end) {
  const size_t dash = text.find('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 == text.size() || dash > 2 ||
      text.size() - dash - 1 > 2 ||
      text.find_first_not_of("0123456789", dash + 1) != std::string::npos ||
      text.substr(0, dash).find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *start = std::stoi(text.substr(0, dash));
  *end = std::stoi(text.substr(dash + 1));
  return *start >= 1 && *start <= 12 && *end >= 1 && *end <= 12;
}

}  // namespace

bool ParseFindings(const std::string& json, CheckFindings* findings, std::string* error) {
  *findings = CheckFindings{};
  const Json file = Json::parse(json, nullptr, false);
  if (file.is_discarded()) {
    *error = "not JSON";
    return false;
  }
  // A plain list, as `mvhost check --json` prints it: counted here.
  if (file.is_array()) {
    if (!Rows(file, findings, error)) return false;
    findings->checked = true;
    findings->total = static_cast<int64_t>(findings->rows.size());
    for (const FindingRow& row : findings->rows) {
      auto it = std::find_if(findings->counts.begin(), findings->counts.end(),
                             [&row](const auto& count) { return count.first == row.rule; });
      if (it == findings->counts.end()) {
        findings->counts.emplace_back(row.rule, 1);
      } else {
        ++it->second;
      }
    }
    return true;
  }
  if (!file.is_object() || !file.contains("checked") || !file["checked"].is_boolean()) {
    *error = "neither a list of findings nor an object with \"checked\"";
    return false;
  }
  if (file.contains("data_set") && file["data_set"].is_number_integer()) {
    findings->dataSet = file["data_set"].get<int64_t>();
  }
  if (file.contains("months") &&
      (!file["months"].is_string() ||
       !Months(file["months"].get<std::string>(), &findings->startMonth, &findings->endMonth))) {
    *error = "\"months\" is not two calendar months as \"4-3\"";
    return false;
  }
  findings->checked = file["checked"].get<bool>();
  if (!findings->checked) {
    if (!Text(file, "error", &findings->error)) {
      *error = "a check that was not made needs its \"error\"";
      return false;
    }
    return true;
  }
  const Json* list = file.contains("findings") ? &file["findings"] : nullptr;
  const Json* counts = file.contains("counts") ? &file["counts"] : nullptr;
  if (list == nullptr || !list->is_array() || counts == nullptr || !counts->is_object() ||
      !file.contains("total") || !file["total"].is_number_integer()) {
    *error = "a check that was made needs \"total\", \"counts\" and \"findings\"";
    return false;
  }
  if (!Rows(*list, findings, error)) return false;
  findings->total = file["total"].get<int64_t>();
  int64_t counted = 0;
  for (const auto& [rule, count] : counts->items()) {
    if (!count.is_number_integer() || count.get<int64_t>() <= 0) {
      *error = "the count of " + rule + " is not a positive number";
      return false;
    }
    findings->counts.emplace_back(rule, count.get<int64_t>());
    counted += count.get<int64_t>();
  }
  if (counted != findings->total || static_cast<int64_t>(findings->rows.size()) > findings->total) {
    *error = "the counts per rule do not add up to \"total\", or more findings are listed";
    return false;
  }
  return true;
}

}  // namespace taxlink::sheet
