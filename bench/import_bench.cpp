// The time of `mvhost import` of a data set whose journal lines come from a
// CSV file, against the floor: a bare SQLite insert of the same rows into
// the journal table (one prepared statement, one transaction), measured in
// the same run. Prints the floor, the import's wall time and peak memory,
// and their ratio, for 100,000 and 1,000,000 lines (or the counts given as
// arguments), and checks that the imported rows are the generated ones.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench/BenchHome.h"
#include "bench/ChildRun.h"
#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/JsonFormat.h"

namespace taxlink::bench {
namespace {

// Bump when the files written change, so that cached ones are rewritten.
constexpr int kFilesVersion = 1;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "import bench: %s\n", what.c_str());
  std::exit(2);
}

double Now() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveTree(const std::string& path) {
  std::string command = "rm -rf '" + path + "'";
  if (std::system(command.c_str()) != 0) Fail("cannot remove " + path);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// The data set of the bench home as an import file with its lines in a CSV
// file beside it; the lines stay in `model` for the floor.
void WriteImportFiles(const BenchHome& home, const std::string& folder,
                      mvhost::DataSetModel* model) {
  mvhost::HostStore store;
  std::string error;
  if (!store.Open(home.home, &error) || !mvhost::LoadDataSet(store, home.dataNo, model, &error)) {
    Fail(error);
  }
  // The generated store lists no rates: its lines are at 8, 5 and 3 %.
  model->taxRates = {8, 5, 3};
  std::string marker = folder + "/complete";
  std::string expected = std::to_string(kFilesVersion) + ":" + std::to_string(home.journalLines);
  if (ReadFile(marker) == expected) return;
  RemoveTree(folder);
  if (::mkdir(folder.c_str(), 0755) != 0) Fail("cannot create " + folder);

  std::FILE* csv = std::fopen((folder + "/journals.csv").c_str(), "wb");
  if (csv == nullptr) Fail("cannot write " + folder + "/journals.csv");
  std::fputs(
      "journal,date,month,debit_account,debit_dept,debit_amount,debit_tax,debit_tax_class,"
      "credit_account,credit_dept,credit_amount,credit_tax,credit_tax_class,rate,"
      "business_type,description\n",
      csv);
  for (const mvhost::JournalLine& l : model->journals) {
    std::string row = std::to_string(l.journalNo) + "," + mvhost::FormatDateText(l.date) + "," +
                      std::to_string(l.monthKind);
    for (const mvhost::JournalSide* side : {&l.debit, &l.credit}) {
      if (side->account.empty()) {
        row += ",,,,,";
        continue;
      }
      row += "," + side->account + "," + std::to_string(side->dept) + "," +
             mvhost::FormatAmountText(side->amount) + "," + mvhost::FormatAmountText(side->tax) +
             "," + std::to_string(side->taxClass);
    }
    row += "," + std::to_string(l.rate) + "," + std::to_string(l.businessType) + "," +
           CsvField(l.description) + "\n";
    std::fputs(row.c_str(), csv);
  }
  if (std::fclose(csv) != 0) Fail("cannot write the CSV file");

  mvhost::DataSetModel head = *model;
  head.journals.clear();
  std::string text;
  if (!mvhost::JsonFromModel(head, &text, &error)) Fail(error);
  nlohmann::ordered_json json = nlohmann::ordered_json::parse(text);
  json["journals_csv"] = "journals.csv";
  std::ofstream(folder + "/data.json", std::ios::binary) << json.dump(2) << "\n";
  std::ofstream(marker, std::ios::binary) << expected;
}

// The CREATE INDEX statements of the store's journal table.
std::vector<std::string> JournalIndexes(const std::string& folder) {
  mvhost::HostStore store;
  std::string error;
  if (!store.Create(folder + "/schema-home", &error)) Fail(error);
  std::vector<std::string> indexes;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(store.db(),
                     "SELECT sql FROM sqlite_schema WHERE type = 'index' AND"
                     " tbl_name = 'journal_line' AND sql IS NOT NULL",
                     -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  }
  sqlite3_finalize(stmt);
  return indexes;
}

struct Floor {
  double insert = 0;   // the bare insert
  double indexes = 0;  // building the store's journal indexes after it
};

// The floor: the same rows into the journal table as the schema declares
// it, without its secondary indexes, bound from memory; then, for the
// record, the time the store's indexes take to build on those rows.
Floor BareInsertSeconds(const mvhost::DataSetModel& model, const std::string& folder) {
  std::string path = folder + "/floor.db";
  std::remove(path.c_str());
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) Fail("cannot open " + path);
  std::string schema =
      "CREATE TABLE journal_line (data_no INTEGER NOT NULL, line_id INTEGER NOT NULL,"
      " journal_no INTEGER NOT NULL, date INTEGER NOT NULL, month_kind INTEGER NOT NULL,"
      " debit_account INTEGER, debit_dept INTEGER NOT NULL DEFAULT 0,"
      " debit_amount INTEGER NOT NULL DEFAULT 0, debit_tax INTEGER NOT NULL DEFAULT 0,"
      " debit_tax_class INTEGER NOT NULL DEFAULT 0, credit_account INTEGER,"
      " credit_dept INTEGER NOT NULL DEFAULT 0, credit_amount INTEGER NOT NULL DEFAULT 0,"
      " credit_tax INTEGER NOT NULL DEFAULT 0, credit_tax_class INTEGER NOT NULL DEFAULT 0,"
      " tax_rate INTEGER NOT NULL DEFAULT 0, business_type INTEGER NOT NULL DEFAULT 0,"
      " description TEXT NOT NULL DEFAULT '', PRIMARY KEY (data_no, line_id))";
  if (sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail("schema");
  // Account ids as the import numbers them: in file order.
  std::map<std::string, int64_t> ids;
  for (size_t i = 0; i < model.accounts.size(); ++i) {
    ids[model.accounts[i].code] = static_cast<int64_t>(i + 1);
  }
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO journal_line VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &stmt, nullptr);
  double started = Now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  int64_t lineId = 0;
  for (const mvhost::JournalLine& l : model.journals) {
    int column = 1;
    sqlite3_bind_int64(stmt, column++, model.info.dataNo);
    sqlite3_bind_int64(stmt, column++, ++lineId);
    sqlite3_bind_int64(stmt, column++, l.journalNo);
    sqlite3_bind_int64(stmt, column++, l.date);
    sqlite3_bind_int64(stmt, column++, l.monthKind);
    for (const mvhost::JournalSide* side : {&l.debit, &l.credit}) {
      if (side->account.empty()) {
        sqlite3_bind_null(stmt, column++);
      } else {
        sqlite3_bind_int64(stmt, column++, ids[side->account]);
      }
      sqlite3_bind_int64(stmt, column++, side->dept);
      sqlite3_bind_int64(stmt, column++, side->amount);
      sqlite3_bind_int64(stmt, column++, side->tax);
      sqlite3_bind_int64(stmt, column++, side->taxClass);
    }
    sqlite3_bind_int64(stmt, column++, sqlite3_int64{l.rate} * 100);
    sqlite3_bind_int64(stmt, column++, l.businessType);
    sqlite3_bind_text(stmt, column++, l.description.data(), static_cast<int>(l.description.size()),
                      SQLITE_TRANSIENT);
    if (sqlite3_step(stmt) != SQLITE_DONE) Fail(sqlite3_errmsg(db));
    sqlite3_reset(stmt);
  }
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Fail("commit");
  Floor floor;
  floor.insert = Now() - started;
  sqlite3_finalize(stmt);
  started = Now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (const std::string& index : JournalIndexes(folder)) {
    if (sqlite3_exec(db, index.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(index);
  }
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Fail("commit");
  floor.indexes = Now() - started;
  sqlite3_close(db);
  std::remove(path.c_str());
  return floor;
}

struct ImportRun {
  double seconds = 0;
  long peakKilobytes = 0;
  int warnings = 0;
};

std::string ToolPath(const char* name) {
  char self[4096];
  ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) Fail("cannot find the program's folder");
  std::string path(self, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1) + name;
}

// Runs mvhost with the arguments (through bench_launch, so that the peak
// memory is mvhost's own); the wall time and that peak. Standard output goes
// to `outPath`, standard error to `errPath`.
ImportRun RunMvhost(const std::vector<std::string>& args, const std::string& errPath,
                    const std::string& outPath = "") {
  std::vector<std::string> argv = {ToolPath("mvhost")};
  argv.insert(argv.end(), args.begin(), args.end());
  const ChildFigures figures = RunChild(argv, {}, outPath, errPath);
  if (figures.status != 0) Fail("mvhost " + args.front() + " failed: " + ReadFile(errPath));
  ImportRun run;
  run.seconds = figures.milliseconds / 1e3;
  run.peakKilobytes = figures.peakKilobytes;
  return run;
}

ImportRun Import(const std::string& folder) {
  std::string home = folder + "/home";
  RemoveTree(home);
  std::string errPath = folder + "/import.err";
  RunMvhost({"--home", home, "init"}, errPath);
  ImportRun run = RunMvhost({"--home", home, "import", folder + "/data.json"}, errPath);
  std::ifstream err(errPath);
  for (std::string line; std::getline(err, line);) {
    if (line.find("warning") != std::string::npos) ++run.warnings;
  }
  return run;
}

// A digest of every journal line of a store, in line order. The generator
// leaves a department and amounts on some sides without an account, which
// the import file cannot carry (a side without an account has none): they
// count as 0.
uint64_t LinesDigest(const std::string& dbPath) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    Fail("cannot open " + dbPath);
  }
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT data_no, line_id, journal_no, date, month_kind, debit_account,"
                     " iif(debit_account IS NULL, 0, debit_dept),"
                     " iif(debit_account IS NULL, 0, debit_amount),"
                     " iif(debit_account IS NULL, 0, debit_tax),"
                     " iif(debit_account IS NULL, 0, debit_tax_class), credit_account,"
                     " iif(credit_account IS NULL, 0, credit_dept),"
                     " iif(credit_account IS NULL, 0, credit_amount),"
                     " iif(credit_account IS NULL, 0, credit_tax),"
                     " iif(credit_account IS NULL, 0, credit_tax_class),"
                     " tax_rate, business_type, description"
                     " FROM journal_line ORDER BY data_no, line_id",
                     -1, &stmt, nullptr);
  uint64_t hash = 14695981039346656037ULL;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      std::string value = text == nullptr ? "NULL" : reinterpret_cast<const char*>(text);
      value.push_back('|');
      for (unsigned char c : value) hash = (hash ^ c) * 1099511628211ULL;
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return hash;
}

// The files and the floor in a child process: the lines it holds in memory
// would otherwise count in the peak memory of every process this one
// starts (a forked child inherits the high-water mark of its parent).
Floor FloorInChild(const BenchHome& home, const std::string& folder) {
  int fds[2];
  if (::pipe(fds) != 0) Fail("cannot make a pipe");
  pid_t child = ::fork();
  if (child < 0) Fail("cannot fork");
  if (child == 0) {
    ::close(fds[0]);
    mvhost::DataSetModel model;
    WriteImportFiles(home, folder, &model);
    Floor floor = BareInsertSeconds(model, folder);
    if (::write(fds[1], &floor, sizeof floor) != sizeof floor) ::_exit(1);
    ::_exit(0);
  }
  ::close(fds[1]);
  Floor seconds;
  bool read = ::read(fds[0], &seconds, sizeof seconds) == sizeof seconds;
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the floor failed");
  return seconds;
}

void Measure(int32_t lines, int repetitions) {
  BenchDataSetShape shape;
  shape.journalLines = lines;
  const BenchHome& home = CachedBenchHome(shape);
  std::string folder = home.home + "-import";
  Floor floor;
  floor.insert = 1e30;
  ImportRun best;
  best.seconds = 1e30;
  // Alternating, so that both see the same load; the best of each.
  for (int i = 0; i < repetitions; ++i) {
    Floor f = FloorInChild(home, folder);
    if (f.insert < floor.insert) floor = f;
    ImportRun run = Import(folder);
    if (run.seconds < best.seconds) best = run;
  }
  bool same = LinesDigest(home.home + "/host.db") == LinesDigest(folder + "/home/host.db");
  // mvhost export of the imported home: inline, and with the lines in a CSV
  // file; then that export imported into another home and exported again,
  // which must give the same bytes.
  const std::string imported = folder + "/home";
  const std::string errPath = folder + "/export.err";
  ImportRun inlineExport;
  inlineExport.seconds = 1e30;
  ImportRun csvExport;
  csvExport.seconds = 1e30;
  for (int i = 0; i < repetitions; ++i) {
    ImportRun run = RunMvhost({"--home", imported, "export"}, errPath, folder + "/export.json");
    if (run.seconds < inlineExport.seconds) inlineExport = run;
    run = RunMvhost({"--home", imported, "export", "--journals-csv", folder + "/export.csv"},
                    errPath, folder + "/export-csv.json");
    if (run.seconds < csvExport.seconds) csvExport = run;
  }
  const std::string again = folder + "/again";
  RemoveTree(again);
  RunMvhost({"--home", again, "init"}, errPath);
  RunMvhost({"--home", again, "import", folder + "/export-csv.json"}, errPath);
  RunMvhost({"--home", again, "export"}, errPath, folder + "/again.json");
  const bool roundTrip = ReadFile(folder + "/again.json") == ReadFile(folder + "/export.json");
  RemoveTree(again);
  std::printf("%d journal lines from CSV (%.0f MB), best of %d:\n", lines,
              static_cast<double>(ReadFile(folder + "/journals.csv").size()) / 1e6, repetitions);
  std::printf("  floor, bare SQLite insert (prepared, one transaction): %8.2f s\n", floor.insert);
  std::printf("  (building the store's journal indexes on those rows:  %8.2f s)\n", floor.indexes);
  std::printf("  mvhost import:                                        %8.2f s  peak %.1f MB\n",
              best.seconds, static_cast<double>(best.peakKilobytes) / 1024.0);
  std::printf("  ratio import / floor:                                 %8.2f\n",
              best.seconds / floor.insert);
  std::printf("  imported lines identical to the generated ones: %s; warnings printed: %d\n",
              same ? "yes" : "NO", best.warnings);
  std::printf("  mvhost export, lines inline (%.0f MB):                %8.2f s  peak %.1f MB\n",
              static_cast<double>(ReadFile(folder + "/export.json").size()) / 1e6,
              inlineExport.seconds, static_cast<double>(inlineExport.peakKilobytes) / 1024.0);
  std::printf("  mvhost export, lines to a CSV file:                   %8.2f s  peak %.1f MB\n",
              csvExport.seconds, static_cast<double>(csvExport.peakKilobytes) / 1024.0);
  std::printf(
      "  ratio export / import:                                %8.2f (inline), %.2f (CSV)\n",
      inlineExport.seconds / best.seconds, csvExport.seconds / best.seconds);
  std::printf("  export, import, export gives the same bytes: %s\n", roundTrip ? "yes" : "NO");
  same = same && roundTrip;
  std::fflush(stdout);
  if (!same) std::exit(1);
}

}  // namespace
}  // namespace taxlink::bench

int main(int argc, char** argv) {
  taxlink::bench::CheckBenchArguments(
      argc, argv,
      "Usage: import_bench [--repetitions=N] [LINES...]\nTimes mvhost import of a journal CSV "
      "file of LINES lines (default 100000 1000000) against a bare SQLite insert of the same "
      "rows. Other --options are let pass (those of the other benchmarks).\n",
      [](const std::string& argument) {
        return argument.rfind("--", 0) == 0 || taxlink::bench::IsLineCount(argument);
      });
  std::vector<int32_t> counts;
  int repetitions = 2;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--repetitions=", 0) == 0) {
      repetitions = std::atoi(arg.c_str() + 14);
    } else if (arg.rfind("--", 0) == 0) {
      continue;  // the other benchmarks' options
    } else {
      counts.push_back(std::atoi(arg.c_str()));
    }
  }
  if (counts.empty()) counts = {100000, 1000000};
  if (repetitions < 1) repetitions = 1;
  for (int32_t lines : counts) taxlink::bench::Measure(lines, repetitions);
  return 0;
}
