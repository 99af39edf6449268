#ifndef TAXLINK_MVHOST_DATAIMPORT_H_
#define TAXLINK_MVHOST_DATAIMPORT_H_

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>

#include "mvhost/lib/BookkeepingCheck.h"
#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/ImportText.h"

namespace mvhost {

// Where an import is, for a progress display.
struct ImportProgress {
  // Writing the lines, building the journal indexes after them, and the
  // totals and checks of the whole data set (CompleteJournalLines).
  enum class Stage { kLines, kIndexes, kTotals };
  Stage stage = Stage::kLines;
  int64_t lines = 0;        // journal lines written so far
  uint64_t bytesRead = 0;   // of the CSV file
  uint64_t bytesTotal = 0;  // its size (0 without a CSV file)
};

struct ImportOptions {
  bool replace = false;       // replace a data set with the same number
  FileEncoding jsonEncoding;  // of the data set file
  FileEncoding csvEncoding;   // of its journal CSV file
  // Called every few thousand lines and at each later stage; may be empty.
  std::function<void(const ImportProgress&)> progress;
  // Receives the first `findingsWanted` findings of the bookkeeping check
  // as they are made (the import goes on; all of them are counted in the
  // outcome); may be empty.
  std::function<void(const CheckFinding&)> finding;
  int64_t findingsWanted = INT64_MAX;
  // Receives any other warning; may be empty.
  std::function<void(const std::string&)> warning;
};

struct ImportOutcome {
  int32_t dataNo = 0;
  int64_t journalLines = 0;
  // The user the import made current because the home had none; empty
  // otherwise.
  std::string madeCurrentUser;
  // The findings of the bookkeeping check, per rule.
  CheckCounts findings;
};

// Imports one data set file (docs/data-format.md) into the store: reads and
// checks the file, then writes it in one transaction while the journal CSV
// file is read line by line, so that a refused or failed import leaves the
// store as it was. An existing data set with the same number is refused
// unless `options.replace` is set, in which case it is replaced.
bool ImportDataSetFile(HostStore& store, const std::string& path, const ImportOptions& options,
                       ImportOutcome* outcome, std::string* error);

// The same for text already read; `fileName` names it in messages and
// `baseDir` is where a "journals_csv" file is looked for.
bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, const ImportOptions& options,
                       ImportOutcome* outcome, std::string* error);

// Writes a model checked by ValidateModel in one transaction (rolled back on
// failure), with the lines of its CSV file.
bool WriteDataSet(HostStore& store, const DataSetModel& model, const ImportOptions& options,
                  ImportOutcome* outcome, std::string* error);

// The same with the default options; the imported data number goes to
// `dataNo`.
bool ImportDataSetFile(HostStore& store, const std::string& path, bool replace, int32_t* dataNo,
                       std::string* error);
bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, bool replace, int32_t* dataNo,
                       std::string* error);
bool WriteDataSet(HostStore& store, const DataSetModel& model, bool replace, std::string* error);

// The last step inside the import's transaction: every journal line of the
// data set is in the store (and its indexes are built), nothing is committed
// yet. Whatever is derived from all lines of a data set belongs here: the
// host's derived journal data (JournalDerived), and the rules of the
// bookkeeping check that need every line (`check`, which saw the lines as
// they were written), whose findings never refuse.
// False (with `error`) fails the import.
bool CompleteJournalLines(sqlite3* db, const DataSetModel& model, const ImportOptions& options,
                          BookkeepingCheck* check, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAIMPORT_H_
