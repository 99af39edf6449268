// The whole journal run against the floor, measured in the same run. For
// each size of the bench data set:
//   - the floor: one plain scan of the data set's lines by SQLite (no index),
//     and beside it the same scan through the table's key (the floor this
//     bench used to report);
//   - the journal aggregation alone (the four passes, in this process,
//     without and with a trace);
//   - the real TaxLinkAlto started on the home with a UI script, from start
//     to the closing message: wall time and the peak memory of the program
//     alone (started through bench_launch); then the same run with a trace
//     (TAXLINK_TRACE), its ratio to the run without and the trace's size;
//   - the first run after a change of one line, and after a change of 1 % of
//     the lines spread over the data set, made by another connection as any
//     tool on the store would (the change is undone after each run, and the
//     undoing is measured as a change too);
// then the empty program (the C++ runtime and SQLite's shared library,
// nothing else) for the fixed part of a run, beside it the same program
// linked with SQLite and the C++ runtime as the programs are, and the targets of
// docs/performance.md met or missed.
//   run_bench [LINES...]        default: 1000 100000 1000000
// Each figure of the normal run is the best of three; each change is made
// and undone twice, and the first runs after them give best and worst. With
// TAXLINK_BENCH_BASELINE set to an earlier build's bin folder, that build's
// TaxLinkAlto runs in turn with this one's, best of seven each.
#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "aggregation/AggregationEngine.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/ProgressSink.h"
#include "bench/BenchHome.h"
#include "bench/ChildRun.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/JournalDerived.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::bench {
namespace {

constexpr int kRepeats = 3;
constexpr int kComparedRepeats = 7;
constexpr int kChangePairs = 2;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "run_bench: %s\n", what.c_str());
  std::exit(1);
}

double Now() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

sqlite3* OpenStore(const BenchHome& home, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2((home.home + "/host.db").c_str(), &db, flags, nullptr) != SQLITE_OK) {
    Fail("cannot open the store of " + home.home);
  }
  sqlite3_busy_timeout(db, 5000);
  return db;
}

// One scan of the data set's lines on a connection of its own: plain (the
// table read from end to end) or through the table's key.
double ScanFloor(const BenchHome& home, bool plain) {
  sqlite3* db = OpenStore(home, SQLITE_OPEN_READONLY);
  const char* sql =
      plain ? "SELECT SUM(debit_amount) FROM journal_line NOT INDEXED WHERE data_no = ?1"
            : "SELECT SUM(debit_amount) FROM journal_line WHERE data_no = ?1";
  double best = 1e30;
  for (int i = 0; i < kRepeats; ++i) {
    sqlite3_stmt* stmt = nullptr;
    double started = Now();
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    sqlite3_bind_int64(stmt, 1, home.dataNo);
    sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    best = std::min(best, Now() - started);
  }
  sqlite3_close_v2(db);
  return best;
}

// A trace that counts the contributions it is given.
class CountingTrace : public FigureTrace {
 public:
  void Contribute(const Contribution&) override { ++count_; }
  uint64_t count() const { return count_; }

 private:
  uint64_t count_ = 0;
};

// The four passes of a whole year, as the run has the engine do them; with a
// trace that counts every contribution when traced.
double Aggregation(const BenchHome& home, bool traced) {
  TaxSettings settings;
  if (!PrepareJournalAggregation(home, &settings)) Fail("no tax settings");
  double best = 1e30;
  for (int i = 0; i < kRepeats; ++i) {
    CountingTrace trace;
    TaxSummaryTables tables;
    AggregationEngine engine(home.dataSet, 4, 3, settings);
    double started = Now();
    const Status status = engine.Run(ProgressSink::None(), &tables, traced ? &trace : nullptr);
    best = std::min(best, Now() - started);
    if (!status.ok()) Fail("an aggregation pass failed (" + status.ToString() + ")");
    if (traced && trace.count() == 0) Fail("the trace received nothing");
  }
  return best;
}

// A private folder holding a copy of a program, the filing application's
// definition file and a UI script that runs the whole year.
struct RunFolder {
  std::string program;
  std::string report;
  std::vector<std::string> environment;
};

RunFolder PrepareRun(const BenchHome& home, const std::string& binFolder,
                     const std::string& runName) {
  RunFolder run;
  const std::string folder = home.home + "/" + runName;
  ::mkdir(folder.c_str(), 0755);
  run.program = folder + "/TaxLinkAlto";
  {
    std::ifstream in(binFolder + "/TaxLinkAlto", std::ios::binary);
    std::ofstream out(run.program, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
  }
  ::chmod(run.program.c_str(), 0755);
  std::ofstream(folder + "/VelzoDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=1\r\n";
  // Every run of a home writes the same report, as a user's repeated runs
  // do: a path that changed from the run before would have the program
  // rewrite its remembered choices (two flushes to disk) in every run when
  // this build and the baseline take turns.
  run.report = home.home + "/run/report.xml";
  std::string windowsReport = "C:" + run.report;
  std::replace(windowsReport.begin(), windowsReport.end(), '/', '\\');
  std::string escaped;
  for (char c : windowsReport) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string script = folder + "/run.jsonl";
  std::ofstream(script) << "{\"do\":\"type\",\"id\":1014,\"text\":\"4\"}\n"
                        << "{\"do\":\"type\",\"id\":1016,\"text\":\"3\"}\n"
                        << "{\"do\":\"type\",\"id\":1008,\"text\":\"" << escaped << "\"}\n"
                        << "{\"do\":\"click\",\"id\":1005}\n"
                        << "{\"answer\":\"ok\",\"expect\":\"未確定の税区分\"}\n"_sjis
                        << "{\"answer\":\"ok\",\"expect\":\"出力が終了しました\"}\n"_sjis;
  run.environment = {"MVHOST_HOME=" + home.home, "TAXLINK_UI=script", "TAXLINK_UI_SCRIPT=" + script,
                     "TAXLINK_DRIVES=C=/", "PATH=/usr/bin:/bin"};
  return run;
}

ChildFigures RunOnce(const RunFolder& run) {
  std::remove(run.report.c_str());
  ChildFigures figures = RunChild({run.program}, run.environment);
  struct stat written {};
  if (figures.status != 0 || ::stat(run.report.c_str(), &written) != 0) {
    Fail("the run failed (status " + std::to_string(figures.status) + ")");
  }
  return figures;
}

struct Runs {
  double best = 1e30;
  double worst = 0;
  double first = 0;
  double bestCpu = 1e30;
  double worstCpu = 0;
  long peakKilobytes = 0;
  void Add(const ChildFigures& f) {
    if (first == 0) first = f.milliseconds;
    best = std::min(best, f.milliseconds);
    worst = std::max(worst, f.milliseconds);
    bestCpu = std::min(bestCpu, f.cpuMilliseconds);
    worstCpu = std::max(worstCpu, f.cpuMilliseconds);
    peakKilobytes = std::max(peakKilobytes, f.peakKilobytes);
  }
};

// A change another tool makes to the lines, and its undoing: one line in
// the middle of the data set, or every hundredth line.
struct Change {
  const char* name;
  const char* where;
};
constexpr Change kOneLine{"one line", "line_id = ?3"};
constexpr Change kOnePercent{"1 %", "line_id % 100 = 37"};

// Adds delta yen to the debit amount of the changed lines; the time taken.
// The store remembers a change not yet undone, so that a bench broken off
// in between leaves no changed data behind (UndoPendingChange).
double ApplyChange(sqlite3* db, const BenchHome& home, const Change& change, int64_t delta) {
  const std::string sql = std::string(
                              "UPDATE journal_line SET debit_amount = debit_amount + ?1 "
                              "WHERE data_no = ?2 AND ") +
                          change.where;
  const std::string pending = delta > 0 ? std::string("'") + change.where + "'" : "NULL";
  double started = Now();
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  sqlite3_bind_int64(stmt, 1, delta * 10000);
  sqlite3_bind_int64(stmt, 2, home.dataNo);
  if (std::strstr(change.where, "?3") != nullptr)
    sqlite3_bind_int64(stmt, 3, home.journalLines / 2);
  const int rc = sqlite3_step(stmt);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) Fail(std::string("the change failed: ") + sqlite3_errmsg(db));
  const std::string remember =
      delta > 0 ? "INSERT OR REPLACE INTO host_state (key, value) VALUES ('bench_change', " +
                      pending + ")"
                : "DELETE FROM host_state WHERE key = 'bench_change'";
  sqlite3_exec(db, remember.c_str(), nullptr, nullptr, nullptr);
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Fail("commit");
  return Now() - started;
}

void UndoPendingChange(sqlite3* db, const BenchHome& home) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT value FROM host_state WHERE key = 'bench_change'", -1, &stmt,
                     nullptr);
  std::string where;
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    where = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  }
  sqlite3_finalize(stmt);
  for (const Change& change : {kOneLine, kOnePercent}) {
    if (where == change.where) ApplyChange(db, home, change, -1);
  }
}

// Rewrites the chunks of every changed line, a few hundred at a time, so
// that the next sizes and benches start from a home without changes.
double FoldAll(sqlite3* db, const BenchHome& home) {
  double started = Now();
  for (int64_t chunks = 1; chunks > 0;) {
    if (mvhost::JournalDerived::FoldChanges(db, home.dataNo, 256, &chunks) != 0) {
      Fail("cannot rewrite the chunks of the changed lines");
    }
  }
  return Now() - started;
}

struct ChangeFigures {
  Runs runs;
  double changeMs = 0;  // the slowest change made by the other connection
};

ChangeFigures FirstRunsAfter(const BenchHome& home, const RunFolder& run, const Change& change) {
  sqlite3* db = OpenStore(home, SQLITE_OPEN_READWRITE);
  ChangeFigures figures;
  for (int i = 0; i < kChangePairs; ++i) {
    for (int64_t delta : {1, -1}) {
      figures.changeMs = std::max(figures.changeMs, ApplyChange(db, home, change, delta));
      figures.runs.Add(RunOnce(run));
    }
  }
  sqlite3_close_v2(db);
  return figures;
}

struct Target {
  std::string what;
  double value;
  double limit;
};

void PrintTargets(const std::vector<Target>& targets) {
  std::printf("\ntargets (ratios measured in this run):\n");
  for (const Target& t : targets) {
    if (t.value <= t.limit) {
      std::printf("  %-64s %6.2f <= %.2f  met\n", t.what.c_str(), t.value, t.limit);
    } else {
      std::printf("  %-64s %6.2f >  %.2f  missed by %.0f %%\n", t.what.c_str(), t.value, t.limit,
                  (t.value / t.limit - 1) * 100);
    }
  }
}

}  // namespace
}  // namespace taxlink::bench

int main(int argc, char** argv) {
  using namespace taxlink::bench;
  CheckBenchArguments(argc, argv,
                      "Usage: run_bench [LINES...]\nTimes the journal run of the program on "
                      "generated data sets of LINES journal lines (default 1000 100000 1000000); "
                      "TAXLINK_BENCH_BASELINE=<bin folder> times that build in the same run.\n",
                      IsLineCount);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 100000, 1000000};
  const std::string binFolder = ProgramFolder();
  const char* baselineVariable = std::getenv("TAXLINK_BENCH_BASELINE");
  const std::string baseline = baselineVariable != nullptr ? baselineVariable : "";

  std::printf("%9s %8s %8s %8s %6s %8s %6s %6s | %18s %6s | %18s %6s %6s\n", "lines", "plain",
              "indexed", "passes", "/plain", "run", "/plain", "MiB", "one line: first run",
              "/plain", "1 %: first run", "/plain", "MiB");
  std::vector<Target> targets;
  double smallestRun = 0;
  double smallestCpu = 0;
  int smallest = 0;
  std::vector<long> peaks;
  for (int lines : sizes) {
    BenchDataSetShape shape;
    shape.journalLines = lines;
    const BenchHome& home = CachedBenchHome(shape);
    {
      sqlite3* db = OpenStore(home, SQLITE_OPEN_READWRITE);
      UndoPendingChange(db, home);
      FoldAll(db, home);
      sqlite3_close_v2(db);
    }
    const double plain = ScanFloor(home, true);
    const double indexed = ScanFloor(home, false);
    const double aggregation = Aggregation(home, false);
    const double traced = Aggregation(home, true);
    mvhost::HostSession::Close();

    const RunFolder run = PrepareRun(home, binFolder, "run");
    Runs normal;
    Runs before;
    if (baseline.empty()) {
      for (int i = 0; i < kRepeats; ++i) normal.Add(RunOnce(run));
    } else {
      const RunFolder base = PrepareRun(home, baseline, "run-baseline");
      for (int i = 0; i < kComparedRepeats; ++i) {
        before.Add(RunOnce(base));
        normal.Add(RunOnce(run));
      }
    }
    // The same run asked for its trace (TAXLINK_TRACE, docs/trace.md).
    RunFolder tracedRun = PrepareRun(home, binFolder, "run-traced");
    const std::string tracePath = home.home + "/run-traced/trace.json";
    tracedRun.environment.push_back("TAXLINK_TRACE=" + tracePath);
    Runs withTrace;
    for (int i = 0; i < kRepeats; ++i) withTrace.Add(RunOnce(tracedRun));
    struct stat traceFile {};
    ::stat(tracePath.c_str(), &traceFile);
    std::remove(tracePath.c_str());
    const ChangeFigures oneLine = FirstRunsAfter(home, run, kOneLine);
    const ChangeFigures onePercent = FirstRunsAfter(home, run, kOnePercent);
    double folded = 0;
    {
      sqlite3* db = OpenStore(home, SQLITE_OPEN_READWRITE);
      folded = FoldAll(db, home);
      sqlite3_close_v2(db);
    }
    const long peak =
        std::max({normal.peakKilobytes, oneLine.runs.peakKilobytes, onePercent.runs.peakKilobytes});
    peaks.push_back(peak);
    std::printf(
        "%9d %8.1f %8.1f %8.1f %6.2f %8.1f %6.2f %6.1f | %8.1f..%8.1f %6.2f | "
        "%8.1f..%8.1f %6.2f %6.1f\n",
        lines, plain, indexed, aggregation, aggregation / plain, normal.best, normal.best / plain,
        static_cast<double>(normal.peakKilobytes) / 1024.0, oneLine.runs.best, oneLine.runs.worst,
        oneLine.runs.worst / plain, onePercent.runs.best, onePercent.runs.worst,
        onePercent.runs.worst / plain,
        static_cast<double>(std::max(oneLine.runs.peakKilobytes, onePercent.runs.peakKilobytes)) /
            1024.0);
    std::printf(
        "%9s processor time of the run %.1f ms, of the first runs after a change "
        "%.1f..%.1f ms (one line), %.1f..%.1f ms (1 %%)\n",
        "", normal.bestCpu, oneLine.runs.bestCpu, oneLine.runs.worstCpu, onePercent.runs.bestCpu,
        onePercent.runs.worstCpu);
    std::printf(
        "%9s traced passes %.1f ms; the changes by another connection took up to "
        "%.1f ms (one line) and %.1f ms (1 %%); rewriting the rest of their chunks "
        "afterwards %.1f ms\n",
        "", traced, oneLine.changeMs, onePercent.changeMs, folded);
    std::printf(
        "%9s with a trace %.1f ms (processor %.1f ms), %.2f times the run (processor "
        "%.2f), %.1f MiB, the trace %.1f MiB\n",
        "", withTrace.best, withTrace.bestCpu, withTrace.best / normal.best,
        withTrace.bestCpu / std::max(normal.bestCpu, 0.1),
        static_cast<double>(withTrace.peakKilobytes) / 1024.0,
        static_cast<double>(traceFile.st_size) / (1024.0 * 1024.0));
    if (!baseline.empty()) {
      std::printf(
          "%9s baseline %.1f ms (first %.1f ms), this build's first %.1f ms; "
          "this / baseline %.3f, processor time %.3f\n",
          "", before.best, before.first, normal.first, normal.best / before.best,
          normal.bestCpu / before.bestCpu);
    }
    std::fflush(stdout);
    const std::string size = std::to_string(lines) + " lines";
    if (lines >= 100000) {
      targets.push_back({"first run after a one-line change / plain scan, " + size,
                         oneLine.runs.worst / plain, 2.0});
      targets.push_back({"first run after a 1 % change / plain scan, " + size,
                         onePercent.runs.worst / plain, 2.0});
    }
    if (lines == 1000000) {
      targets.push_back({"normal run / plain scan, " + size, normal.best / plain, 1.5});
      targets.push_back(
          {"run with a trace / run without, " + size, withTrace.best / normal.best, 3.0});
    }
    if (smallest == 0 || lines < smallest) {
      smallest = lines;
      smallestRun = normal.best;
      smallestCpu = normal.bestCpu;
    }
  }

  // The fixed part of a run: the least a program linked with the C++
  // runtime and SQLite does, on the smallest home.
  BenchDataSetShape shape;
  shape.journalLines = smallest;
  const BenchHome& home = CachedBenchHome(shape);
  Runs empty;
  Runs emptyStatic;
  for (int i = 0; i < 7; ++i) {
    empty.Add(RunChild({binFolder + "/bench_empty", home.home + "/host.db"}, {}));
    emptyStatic.Add(RunChild({binFolder + "/bench_empty_static", home.home + "/host.db"}, {}));
  }
  // Processor time beside the wall time: on a loaded machine a start of a
  // few milliseconds waits for a core longer than it runs.
  std::printf(
      "\nempty program (C++ runtime and SQLite): %.1f ms (processor %.1f ms), %.1f MiB; "
      "the %d-line run: %.1f ms (processor %.1f ms), %.2f times as long (processor "
      "%.2f)\n",
      empty.best, empty.bestCpu, static_cast<double>(empty.peakKilobytes) / 1024.0, smallest,
      smallestRun, smallestCpu, smallestRun / empty.best,
      smallestCpu / std::max(empty.bestCpu, 0.1));
  // The same program linked with SQLite and the C++ runtime as the programs
  // are (their static archives where the build takes them): the fixed part
  // like for like.
  std::printf(
      "empty program linked as the programs are: %.1f ms (processor %.1f ms); "
      "the run %.2f times as long (processor %.2f)\n",
      emptyStatic.best, emptyStatic.bestCpu, smallestRun / emptyStatic.best,
      smallestCpu / std::max(emptyStatic.bestCpu, 0.1));
  if (smallest <= 1000) {
    targets.push_back({"scripted run of " + std::to_string(smallest) + " lines / empty program",
                       smallestRun / empty.best, 2.0});
  }
  if (peaks.size() > 1) {
    const auto [low, high] = std::minmax_element(peaks.begin(), peaks.end());
    targets.push_back({"peak memory, largest size / smallest (flat)",
                       static_cast<double>(*high) / static_cast<double>(*low), 1.25});
  }
  PrintTargets(targets);
  return 0;
}
