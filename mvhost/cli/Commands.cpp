#include "mvhost/cli/Commands.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "mvhost/cli/ImportProgressLine.h"
#include "mvhost/cli/Usage.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/DataValidate.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoreAdmin.h"
#include "mvhost/lib/StoredDataCheck.h"

namespace mvhost {

namespace {

// Findings an import prints unless told otherwise.
constexpr int64_t kFirstFindings = 5;

int Refuse(const std::string& message) {
  std::cerr << "mvhost: " << message << "\n";
  return 1;
}

bool OpenStore(const std::string& home, HostStore* store, std::string* error) {
  return store->Open(home, error);
}

bool IsStateKey(const std::string& key) {
  return key == "edition" || key == "link" || key == "current_user";
}

std::string UnknownKey(const std::string& key) {
  return "unknown state key " + key + " (edition, link, current_user)";
}

// A current user must be one of the store's users, or every launch stops.
bool KnownUser(HostStore& store, const std::string& user, std::string* error) {
  std::vector<UserListing> users;
  if (!ListUsers(store.db(), &users, error)) return false;
  std::string known;
  for (const UserListing& listed : users) {
    if (listed.userId == user) return true;
    known += (known.empty() ? "" : ", ") + listed.userId;
  }
  *error = "no user " + user + " in the store (" +
           (known.empty() ? std::string("it has none") : "users: " + known) +
           "); mvhost select USER DATA-NUMBER adds one";
  return false;
}

// The values the host's link accepts for each state key.
bool CheckStateValue(const std::string& key, const std::string& value, std::string* error) {
  if (key == "edition") {
    static const char* const kEditions[] = {"Alto", "Std", "Serena", "alto", "std", "serena"};
    for (const char* edition : kEditions) {
      if (value == edition) return true;
    }
    int64_t number = 0;
    if (value.size() <= 3 && ParseIntText(value, &number) && number >= 0) return true;
    *error = "edition must be Alto, Std, Serena or an application type number: " + value;
    return false;
  }
  if (key == "link") {
    if (value == "open" || value == "closed" || value == "busy") return true;
    *error = "link must be open, closed or busy: " + value;
    return false;
  }
  if (key == "current_user") {
    std::string problem = UserIdProblem(value);
    if (problem.empty()) return true;
    *error = "current_user " + value + ": " + problem;
    return false;
  }
  *error = UnknownKey(key);
  return false;
}

}  // namespace

std::string ResolveHome(const std::string& option) {
  return option.empty() ? HostStore::HomeFromEnvironment() : option;
}

int InitCommand(const std::string& home) {
  HostStore store;
  std::string error;
  if (!store.Create(home, &error)) return Refuse(error);
  std::cout << "host home ready: " << store.home() << "\n";
  return 0;
}

int ImportCommand(const std::string& home, const std::string& file,
                  const ImportCommandOptions& options) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  ImportProgressLine line(file, stderr, ::isatty(STDERR_FILENO) == 1);
  ImportOptions import;
  import.replace = options.replace;
  import.jsonEncoding = options.jsonEncoding;
  import.csvEncoding = options.csvEncoding;
  import.progress = [&line](const ImportProgress& progress) { line.Show(progress);
};
import.warning = [&line](const std::string& warning) { line.Warn(warning);
};  // namespace mvhost
// The first findings wait for the import to succeed; all of them are
// printed as they are found, since they could be any number.
std::vector<std::string> first;
import.findingsWanted = options.warnings == ImportWarnings::kAll         ? INT64_MAX
                        : options.warnings == ImportWarnings::kFirstFive ? kFirstFindings
                                                                         : 0;
import.finding = [&](const CheckFinding& finding) {
  if (options.warnings == ImportWarnings::kAll) {
    line.Warn(finding.Text());
}
else {
  first.push_back(finding.Text());
}
}
;
ImportOutcome outcome;
bool imported = ImportDataSetFile(store, file, import, &outcome, &error);
line.Clear();
if (!imported) return Refuse(error);
for (const std::string& finding : first) line.Warn(finding);
const int64_t findings = outcome.findings.Total();
if (findings > 0 && options.warnings != ImportWarnings::kNone) {
  std::string summary = std::to_string(findings) + (findings == 1 ? " finding" : " findings") +
                        " of the bookkeeping check (" + outcome.findings.Summary() + ")";
  if (findings > static_cast<int64_t>(first.size()) &&
      options.warnings == ImportWarnings::kFirstFive) {
    summary += "; the first " + std::to_string(first.size()) + " are shown, mvhost check " +
               std::to_string(outcome.dataNo) + " lists them all";
  }
  line.Warn(summary);
}
std::cout << "imported data set " << outcome.dataNo << " from " << file << "\n";
if (!outcome.madeCurrentUser.empty()) {
  std::cout << "current user: " << outcome.madeCurrentUser << " (the home had none)\n";
}
return 0;
}

int ExportCommand(const std::string& home, std::optional<int32_t> dataNo,
                  const std::string& journalsCsv) {
  HostStore store;
  std::string error;
  int32_t number = dataNo.value_or(0);
  if (!OpenStore(home, &store, &error) || (!dataNo && !DefaultDataNo(store, &number, &error))) {
    return Refuse(error);
  }
  ExportOptions options;
  options.journalsCsvPath = journalsCsv;
  if (!ExportDataSet(store, number, options, std::cout, &error)) {
    std::cout.flush();
    return Refuse(error);
  }
  std::cout.flush();
  return std::cout.good() ? 0 : 1;
}

int CheckCommand(const std::string& home, const CheckCommandOptions& options) {
  HostStore store;
  std::string error;
  CheckRequest request;
  request.dataNo = options.dataNo.value_or(0);
  request.startMonth = options.startMonth;
  request.endMonth = options.endMonth;
  if (!OpenStore(home, &store, &error) ||
      (!options.dataNo && !DefaultDataNo(store, &request.dataNo, &error))) {
    Refuse(error);
    return kCheckFailedStatus;
  }
  int64_t count = 0;
  const CheckStatus status = CheckStoredDataSet(
      store, request,
      [&](const CheckFinding& finding) {
        if (options.json) {
          std::cout << (count == 0 ? "[\n" : ",\n") << finding.Json();
        } else {
          std::cout << finding.Text() << "\n";
        }
        ++count;
      },
      &error);
  if (status == CheckStatus::kBadMonths) return UsageError(error, "check");
  if (status == CheckStatus::kFailed) {
    std::cout.flush();
    Refuse(error);
    return kCheckFailedStatus;
  }
  if (options.json) std::cout << (count == 0 ? "[]\n" : "\n]\n");
  std::cout.flush();
  if (!std::cout.good()) return kCheckFailedStatus;
  return count == 0 ? 0 : kCheckFindingsStatus;
}

int ListCommand(const std::string& home) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  std::vector<DataSetListing> sets;
  if (!ListDataSets(store.db(), &sets, &error)) return Refuse(error);
  std::cout << "data sets:\n";
  for (const DataSetListing& set : sets) {
    std::cout << "  " << set.dataNo << "  " << set.dataId << "  " << set.companyName << "  "
              << FormatDateText(set.periodStart) << ".." << FormatDateText(set.periodEnd) << "  "
              << set.journalLines << " journal lines\n";
  }
  std::vector<UserListing> users;
  if (!ListUsers(store.db(), &users, &error)) return Refuse(error);
  std::cout << "users:\n";
  for (const UserListing& user : users) {
    std::cout << "  " << user.userId << "  " << user.name << "  selects " << user.selectedDataNo
              << " (first number " << user.selectedNo1 << ")" << (user.current ? "  current" : "")
              << "\n";
  }
  return 0;
}

int SelectCommand(const std::string& home, const std::string& user, int32_t dataNo) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  if (!HoldsDataSet(store.db(), dataNo)) return Refuse("no data set " + std::to_string(dataNo));
  if (user.empty()) return Refuse("empty user id");
  std::string problem = UserIdProblem(user);
  if (!problem.empty()) return Refuse("user " + user + ": " + problem);
  if (!SelectDataSet(store.db(), user, dataNo, &error)) return Refuse(error);
  std::cout << "user " << user << " selects data set " << dataNo << "\n";
  return 0;
}

int ShowStateCommand(const std::string& home) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  std::vector<std::pair<std::string, std::string>> entries;
  if (!ReadStateEntries(store.db(), &entries, &error)) return Refuse(error);
  for (const auto& [key, value] : entries) std::cout << key << " " << value << "\n";
  return 0;
}

int StateValueCommand(const std::string& home, const std::string& key) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  if (!IsStateKey(key)) return Refuse(UnknownKey(key));
  std::optional<std::string> value;
  if (!ReadStateEntry(store.db(), key, &value, &error)) return Refuse(error);
  if (!value) return Refuse(key + " is not set");
  std::cout << *value << "\n";
  return 0;
}

int StateCommand(const std::string& home, const std::string& key, const std::string& value) {
  HostStore store;
  std::string error;
  if (!OpenStore(home, &store, &error)) return Refuse(error);
  if (value.empty()) {
    if (!RemoveStateEntry(store.db(), key, &error)) return Refuse(error);
    std::cout << key << " removed\n";
    return 0;
  }
  if (!CheckStateValue(key, value, &error)) return Refuse(error);
  if (key == "current_user" && !KnownUser(store, value, &error)) return Refuse(error);
  if (!WriteStateEntry(store.db(), key, value, &error)) return Refuse(error);
  std::cout << key << " " << value << "\n";
  return 0;
}

}  // namespace mvhost
