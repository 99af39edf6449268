#include "mvhost/lib/DataImport.h"

#include <fstream>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "mvhost/lib/DataCsv.h"
#include "mvhost/lib/DataSavedReturn.h"
#include "mvhost/lib/DataValidate.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/ImportLinePlaces.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/JournalLoad.h"
#include "mvhost/lib/JsonFormat.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/StoreRows.h"

namespace mvhost {

namespace {

// Progress is reported after this many journal lines.
constexpr int64_t kProgressLines = 4096;

bool Failed(const SqlStatement& sql, const char* what, std::string* error) {
  *error = std::string("cannot write ") + what + ": " + sql.error();
  return false;
}

// Everything of the data set but its journal lines; `accountIds` gets the
// store's id of each account code.
bool WriteRows(sqlite3* db, const DataSetModel& m, bool replace,
               std::unordered_map<std::string, int64_t>* accountIds, std::string* error) {
  const int64_t no = m.info.dataNo;
  {
    SqlStatement existing(db, "SELECT data_no FROM data_set WHERE data_no = ? OR data_id = ?");
    existing.Bind(1, no).Bind(2, m.info.dataId);
    while (existing.Row()) {
      if (existing.Int(0) != no) {
        *error = m.source + ": data_set.data_id: \"" + m.info.dataId +
                 "\" is already used by data set " + std::to_string(existing.Int(0));
        return false;
      }
      if (!replace) {
        *error = m.source + ": data_set.data_no: data set " + std::to_string(no) +
                 " already exists (import with --replace to replace it)";
        return false;
      }
    }
    if (!existing.error().empty()) return Failed(existing, "the data set", error);
  }
  SqlStatement drop(db, "DELETE FROM data_set WHERE data_no = ?");
  if (!drop.Bind(1, no).Run()) return Failed(drop, "the data set", error);

  StoreRows rows(db);
  auto failed = [&rows, error](const char* what) {
    *error = std::string("cannot write ") + what + ": " + rows.error();
    return false;
  };
  if (!rows.DataSet(m.info, m.settings)) return failed("the data set");
  for (size_t i = 0; i < m.taxRates.size(); ++i) {
    if (!rows.TaxRate(no, static_cast<int64_t>(i + 1), static_cast<int64_t>(m.taxRates[i]) * 100)) {
      return failed("the tax rates");
    }
  }
  for (const AccountClass& c : m.accountClasses) {
    if (!rows.AccountClass(no, c)) return failed("the account classes");
  }
  // Accounts and assets are numbered in file order.
  for (size_t i = 0; i < m.accounts.size(); ++i) {
    int64_t id = static_cast<int64_t>(i + 1);
    (*accountIds)[m.accounts[i].code] = id;
    if (!rows.Account(no, id, m.accounts[i])) return failed("the accounts");
  }
  for (const Department& x : m.departments) {
    if (!rows.Department(no, x)) return failed("the departments");
  }
  for (size_t i = 0; i < m.fixedAssets.size(); ++i) {
    if (!rows.FixedAsset(no, static_cast<int64_t>(i + 1), m.fixedAssets[i])) {
      return failed("the fixed assets");
    }
  }
  if (m.savedReturn && !rows.SavedReturn(no, SavedReturnImage(*m.savedReturn))) {
    return failed("the saved return");
  }
  for (const User& u : m.users) {
    if (!rows.User(no, u)) return failed("the users");
  }
  return true;
}

// The first user of the file becomes the current user of a home that has
// none, so that the program can be started right after the first import.
bool MakeFirstUserCurrent(sqlite3* db, const DataSetModel& m, ImportOutcome* outcome,
                          std::string* error) {
  if (m.users.empty()) return true;
  SqlStatement current(db,
                       "INSERT INTO host_state (key, value) SELECT 'current_user', ?"
                       " WHERE NOT EXISTS (SELECT 1 FROM host_state WHERE key = 'current_user')");
  if (!current.Bind(1, m.users.front().id).Run()) return Failed(current, "the current user", error);
  if (sqlite3_changes(db) > 0) outcome->madeCurrentUser = m.users.front().id;
  return true;
}

void Report(const ImportOptions& options, ImportProgress::Stage stage, int64_t lines,
            const JournalCsvReader* csv) {
  if (!options.progress) return;
  ImportProgress progress;
  progress.stage = stage;
  progress.lines = lines;
  if (csv != nullptr) {
    progress.bytesRead = csv->bytesRead();
    progress.bytesTotal = csv->fileSize();
  }
  options.progress(progress);
}

// The journal lines: the checked inline ones, then the CSV file's, each
// checked as it is read.
bool WriteJournalLines(sqlite3* db, const DataSetModel& m, const ImportOptions& options,
                       std::unordered_map<std::string, int64_t> accountIds, BookkeepingCheck* check,
                       ImportLinePlaces* places, ImportOutcome* outcome, std::string* error) {
  JournalLoad load(db, m.info.dataNo, std::move(accountIds));
  if (!load.Begin(error)) return false;
  LinePlace place;
  place.source = &m.source;
  place.kind = LinePlace::Kind::kItem;
  for (const JournalLine& line : m.journals) {
    if (!load.Add(line, error)) return false;
    check->Line(line, place);
    ++place.number;
  }
  if (!m.journalsCsv.empty()) {
    JournalCsvReader csv;
    if (!csv.Open(m.journalsCsv, options.csvEncoding, error)) return false;
    const JournalLineChecker checker(m);
    JournalLine line;
    place.source = &m.journalsCsv;
    place.kind = LinePlace::Kind::kLine;
    while (csv.Next(&line, error)) {
      if (!checker.Check(line, error) || !load.Add(line, error)) return false;
      place.number = csv.lineNo();
      places->AddCsvLine(load.lines(), place.number);
      check->Line(line, place);
      if (load.lines() % kProgressLines == 0) {
        Report(options, ImportProgress::Stage::kLines, load.lines(), &csv);
      }
    }
    if (!error->empty()) return false;
  }
  if (load.rebuildsIndexes())
    Report(options, ImportProgress::Stage::kIndexes, load.lines(), nullptr);
  if (!load.Finish(error)) return false;
  outcome->journalLines = load.lines();
  return true;
}

}  // namespace

bool CompleteJournalLines(sqlite3* db, const DataSetModel& m, const ImportOptions& options,
                          BookkeepingCheck* check, std::string* error) {
  // The derived journal data, in the same transaction as the lines.
  if (int32_t status = JournalDerived::Rebuild(db, m.info.dataNo); status != 0) {
    *error = "cannot build the journal totals (host error " + std::to_string(status) + ")";
    return false;
  }
  std::string failure;
  if (!check->Finish(db, &failure) && options.warning) {
    // Sums past 64 bits: a warning, as the figures themselves are checked
    // where they are summed.
    options.warning(m.source +
                    ": the journals' debit and credit totals cannot be compared: " + failure);
  }
  return true;
}

bool WriteDataSet(HostStore& store, const DataSetModel& model, const ImportOptions& options,
                  ImportOutcome* outcome, std::string* error) {
  MonthSelection wholePeriod;
  if (!MonthSelection::WholePeriod(model.info, &wholePeriod, error)) return false;
  ImportOutcome written;
  written.dataNo = model.info.dataNo;
  ImportLinePlaces places(&model.source, &model.journalsCsv,
                          static_cast<int64_t>(model.journals.size()));
  int64_t handed = 0;
  BookkeepingCheck check(
      model, wholePeriod, &model.source, [&places](int64_t lineId) { return places.Of(lineId); },
      [&options, &handed](const CheckFinding& finding) {
        ++handed;
        options.finding(finding);
      },
      [&options, &handed] { return options.finding && handed < options.findingsWanted; });
  if (!store.Exec("BEGIN IMMEDIATE;", error)) return false;
  // The derived data's triggers of this build first: a replaced data set's
  // lines then leave with its derived data, at no cost per line.
  if (int32_t status = JournalDerived::PrepareSchema(store.db()); status != 0) {
    *error = "cannot prepare the journal totals (host error " + std::to_string(status) + ")";
    std::string ignored;
    store.Exec("ROLLBACK;", &ignored);
    return false;
  }
  std::unordered_map<std::string, int64_t> accountIds;
  bool ok = WriteRows(store.db(), model, options.replace, &accountIds, error) &&
            MakeFirstUserCurrent(store.db(), model, &written, error) &&
            WriteJournalLines(store.db(), model, options, std::move(accountIds), &check, &places,
                              &written, error);
  if (ok) {
    Report(options, ImportProgress::Stage::kTotals, written.journalLines, nullptr);
    ok = CompleteJournalLines(store.db(), model, options, &check, error) &&
         store.Exec("COMMIT;", error);
    written.findings = check.counts();
  }
  if (!ok) {
    std::string ignored;
    store.Exec("ROLLBACK;", &ignored);
    return false;
  }
  *outcome = written;
  return true;
}

bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, const ImportOptions& options,
                       ImportOutcome* outcome, std::string* error) {
  // A byte-order mark says UTF-8 whatever was given; the JSON parser skips it.
  const TextEncoding encoding =
      StartsWithUtf8Bom(text) ? TextEncoding::kUtf8 : options.jsonEncoding.encoding;
  size_t offset = 0;
  size_t length = 0;
  if (encoding == TextEncoding::kCp932 && !options.jsonEncoding.given &&
      FindUtf8Run(text, &offset, &length)) {
    *error = fileName + ":" + LineColumnOf(text, offset) + ": " +
             AmbiguityProblem(std::string_view(text).substr(offset, length), "--encoding");
    return false;
  }
  std::string utf8;
  if (!DecodeText(text, encoding, &utf8, &offset)) {
    *error =
        fileName + ":" + LineColumnOf(text, offset) + ": " + DecodeProblem(encoding, "--encoding");
    return false;
  }
  DataSetModel model;
  return ModelFromJson(utf8, fileName, baseDir, &model, error) && ValidateModel(model, error) &&
         WriteDataSet(store, model, options, outcome, error);
}

bool ImportDataSetFile(HostStore& store, const std::string& path, const ImportOptions& options,
                       ImportOutcome* outcome, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  size_t slash = path.rfind('/');
  std::string baseDir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (baseDir.empty()) baseDir = "/";
  return ImportDataSetText(store, text.str(), path, baseDir, options, outcome, error);
}

bool WriteDataSet(HostStore& store, const DataSetModel& model, bool replace, std::string* error) {
  ImportOptions options;
  options.replace = replace;
  ImportOutcome outcome;
  return WriteDataSet(store, model, options, &outcome, error);
}

bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, bool replace, int32_t* dataNo,
                       std::string* error) {
  ImportOptions options;
  options.replace = replace;
  ImportOutcome outcome;
  if (!ImportDataSetText(store, text, fileName, baseDir, options, &outcome, error)) return false;
  *dataNo = outcome.dataNo;
  return true;
}

bool ImportDataSetFile(HostStore& store, const std::string& path, bool replace, int32_t* dataNo,
                       std::string* error) {
  ImportOptions options;
  options.replace = replace;
  ImportOutcome outcome;
  if (!ImportDataSetFile(store, path, options, &outcome, error)) return false;
  *dataNo = outcome.dataNo;
  return true;
}

}  // namespace mvhost
