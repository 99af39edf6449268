#include "fuzz/ImportRoundTrip.h"

#include <cstdint>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredDataCheck.h"

namespace fuzz {

namespace {

// One store for the target's life, kept in memory as far as SQLite allows:
// every input replaces the data set it names.
mvhost::HostStore& Store() {
  static std::unique_ptr<mvhost::HostStore> store = [] {
    auto created = std::make_unique<mvhost::HostStore>();
    std::string error;
    if (!created->Create(WorkFolder() + "/home", &error) ||
        !created->Exec("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY;", &error)) {
      Broken("cannot create the store: " + error);
    }
    return created;
  }();
  return *store;
}

}  // namespace

void CheckImportRoundTrip(const std::string& text, const std::string& baseDir) {
  mvhost::HostStore& store = Store();
  std::string error;
  // Every finding of the import's bookkeeping check is made in full.
  mvhost::ImportOptions options;
  options.replace = true;
  options.finding = [](const mvhost::CheckFinding& finding) {
    if (finding.Text().find(mvhost::CheckRuleId(finding.rule)) == std::string::npos ||
        finding.Json().empty()) {
      Broken("a finding without its rule: " + finding.Text());
    }
  };
  mvhost::ImportOutcome outcome;
  if (!mvhost::ImportDataSetText(store, text, "fuzz.json", baseDir, options, &outcome, &error)) {
    return;
  }
  const int32_t dataNo = outcome.dataNo;
  // The check of the stored data set finds what the import's found.
  mvhost::CheckRequest request;
  request.dataNo = dataNo;
  mvhost::CheckCounts stored;
  if (mvhost::CheckStoredDataSet(
          store, request, [&stored](const mvhost::CheckFinding& f) { stored.Add(f.rule); },
          &error) != mvhost::CheckStatus::kChecked) {
    Broken("an imported data set cannot be checked: " + error);
  }
  if (stored.Summary() != outcome.findings.Summary()) {
    Broken("the import found " + outcome.findings.Summary() + ", the stored data set " +
           stored.Summary());
  }
  std::string first;
  if (!mvhost::ExportDataSet(store, dataNo, &first, &error)) {
    Broken("an imported data set cannot be exported: " + error);
  }
  int32_t againNo = 0;
  if (!mvhost::ImportDataSetText(store, first, "export.json", baseDir, true, &againNo, &error)) {
    Broken("an export is refused by the import: " + error + "\n" + first);
  }
  std::string second;
  if (againNo != dataNo || !mvhost::ExportDataSet(store, againNo, &second, &error)) {
    Broken("a re-imported data set cannot be exported: " + error);
  }
  if (second != first)
    Broken("export, import and export give another text:\n" + first + "\n" + second);
}

}  // namespace fuzz
