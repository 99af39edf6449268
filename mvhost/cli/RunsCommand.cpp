#include "mvhost/cli/RunsCommand.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <vector>

#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/RunLog.h"

namespace mvhost {

namespace {

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

std::string MonthsText(const RunLogEntry& entry) {
  if (!entry.startMonth || !entry.endMonth) return "-";
  return std::to_string(*entry.startMonth) + "-" + std::to_string(*entry.endMonth);
}

nlohmann::ordered_json Json(const RunLogEntry& e) {
  auto orNull = [](const std::string& text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
  };
  nlohmann::ordered_json j;
  j["run"] = e.runId;
  j["started"] = e.startedAt;
  j["user"] = orNull(e.userId);
  j["data_no"] = e.dataNo ? nlohmann::ordered_json(*e.dataNo) : nlohmann::ordered_json(nullptr);
  j["edition"] = e.edition;
  j["start_month"] = e.startMonth ? nlohmann::ordered_json(*e.startMonth) : nullptr;
  j["end_month"] = e.endMonth ? nlohmann::ordered_json(*e.endMonth) : nullptr;
  j["method"] = orNull(e.method);
  j["result"] = e.result;
  j["report"] = orNull(e.reportPath);
  j["sha256"] = orNull(e.reportSha256);
  j["duration_ms"] = e.durationMs;
  j["via"] = e.via;
  return j;
}

}  // namespace

int RunsCommand(const std::string& home, std::optional<int32_t> dataNo, bool json) {
  HostStore store;
  std::string error;
  std::vector<RunLogEntry> entries;
  if (!store.Open(home, &error) || !ReadRunLog(store.db(), dataNo, &entries, &error)) {
    std::cerr << "mvhost: " << error << "\n";
    return 1;
  }
  if (json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const RunLogEntry& entry : entries) list.push_back(Json(entry));
    std::cout << list.dump(1) << "\n";
    return 0;
  }
  for (const RunLogEntry& e : entries) {
    std::cout << e.runId << "  " << e.startedAt << "  " << OrDash(e.userId) << "  "
              << (e.dataNo ? std::to_string(*e.dataNo) : "-") << "  " << e.edition << "  "
              << MonthsText(e) << "  " << OrDash(e.method) << "  " << e.result << "  "
              << e.durationMs << " ms  " << e.via << "  " << OrDash(e.reportPath) << "  "
              << OrDash(e.reportSha256) << "\n";
  }
  return 0;
}

}  // namespace mvhost
