#include "mvhost/lib/SheetFindings.h"

#include <nlohmann/json.hpp>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredDataCheck.h"

namespace mvhost {

std::string SheetFindingsJson(const std::string& home, int startMonth, int endMonth, size_t listed,
                              const std::function<bool(const CheckFinding&)>& each) {
  nlohmann::ordered_json file;
  CheckRequest request;
  request.startMonth = startMonth;
  request.endMonth = endMonth;
  HostStore store;
  std::string error;
  bool opened = store.Open(home, &error) && DefaultDataNo(store, &request.dataNo, &error);
  if (opened) file["data_set"] = request.dataNo;
  file["months"] = std::to_string(startMonth) + "-" + std::to_string(endMonth);

  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  CheckCounts counts;
  bool eachWants = static_cast<bool>(each);
  const CheckStatus status =
      opened ? CheckStoredDataSet(
                   store, request,
                   [&](const CheckFinding& finding) {
                     if (findings.size() < listed) {
                       findings.push_back(nlohmann::ordered_json::parse(finding.Json()));
                     }
                     if (eachWants) eachWants = each(finding);
                   },
                   &error, [&] { return findings.size() < listed || eachWants; }, &counts)
             : CheckStatus::kFailed;
  file["checked"] = status == CheckStatus::kChecked;
  if (status != CheckStatus::kChecked) {
    file["error"] = error;
  } else {
    file["total"] = counts.Total();
    nlohmann::ordered_json perRule = nlohmann::ordered_json::object();
    for (size_t i = 0; i < kCheckRuleCount; ++i) {
      const auto rule = static_cast<CheckRule>(i);
      if (counts.Of(rule) > 0) perRule[CheckRuleId(rule)] = counts.Of(rule);
    }
    file["counts"] = std::move(perRule);
    file["findings"] = std::move(findings);
  }
  return file.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string SheetFindingsFailure(const std::string& reason) {
  nlohmann::ordered_json file;
  file["checked"] = false;
  file["error"] = reason;
  return file.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace mvhost
