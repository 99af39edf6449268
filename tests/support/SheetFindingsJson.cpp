#include "tests/support/SheetFindingsJson.h"

#include <nlohmann/json.hpp>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredDataCheck.h"

namespace mvhost {

namespace {

// The findings file of the check of request's data set in store (nullptr:
// the data set could not be found, for the reason in error).
std::string FindingsJson(HostStore* store, const CheckRequest& request, std::string error,
                         size_t listed, const std::function<bool(const CheckFinding&)>& each) {
  nlohmann::ordered_json file;
  const bool opened = store != nullptr;
  if (opened) file["data_set"] = request.dataNo;
  file["months"] = std::to_string(request.startMonth) + "-" + std::to_string(request.endMonth);

  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  CheckCounts counts;
  bool eachWants = static_cast<bool>(each);
  const CheckStatus status =
      opened ? CheckStoredDataSet(
                   *store, request,
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

}  // namespace

std::string SheetFindingsJson(const std::string& home, int startMonth, int endMonth, size_t listed,
                              const std::function<bool(const CheckFinding&)>& each) {
  CheckRequest request;
  request.startMonth = startMonth;
  request.endMonth = endMonth;
  HostStore store;
  std::string error;
  const bool found = store.Open(home, &error) && DefaultDataNo(store, &request.dataNo, &error);
  return FindingsJson(found ? &store : nullptr, request, error, listed, each);
}

std::string DataSetFindingsJson(const std::string& home, int32_t dataNo, int startMonth,
                                int endMonth, size_t listed,
                                const std::function<bool(const CheckFinding&)>& each) {
  CheckRequest request;
  request.dataNo = dataNo;
  request.startMonth = startMonth;
  request.endMonth = endMonth;
  HostStore store;
  std::string error;
  const bool opened = store.Open(home, &error);
  return FindingsJson(opened ? &store : nullptr, request, error, listed, each);
}

std::string SheetFindingsFailure(const std::string& reason) {
  nlohmann::ordered_json file;
  file["checked"] = false;
  file["error"] = reason;
  return file.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace mvhost
