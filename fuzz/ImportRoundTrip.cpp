#include "fuzz/ImportRoundTrip.h"

#include <cstdint>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/HostStore.h"

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
  int32_t dataNo = 0;
  std::string error;
  if (!mvhost::ImportDataSetText(store, text, "fuzz.json", baseDir, true, &dataNo, &error)) return;
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
  if (second != first) Broken("export, import and export give another text:\n" + first + "\n" + second);
}

}  // namespace fuzz
