// The whole journal run against the one-scan floor, measured in the same
// run: for each size of the bench data set, the time SQLite needs to scan the
// journal lines once (the floor), the journal aggregation alone (the four
// passes, in this process, without and with a trace), and the real
// TaxLinkAlto started on the home with a UI script, from start to the closing
// message (wall time and peak memory); with TAXLINK_BENCH_BASELINE set to an
// earlier build's bin folder, that build's TaxLinkAlto as well.
//   run_bench [LINES...]        default: 100000 1000000
// Each figure is the best of three. With a baseline, both programs run in
// turn, the baseline first, best of seven each; the last columns are the
// first (cold) runs of both, the baseline's best run, this build's best over
// the baseline's, and the same ratio of the processor time of the runs (less
// disturbed by other load). The run with a trace (TAXLINK_TRACE) follows:
// its best, its ratio to the run without one, its peak memory and the size
// of the trace it wrote.
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "aggregation/AggregationEngine.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/ProgressSink.h"
#include "bench/BenchHome.h"
#include "mvhost/lib/HostSession.h"

extern char** environ;

namespace taxlink::bench {
namespace {

constexpr int kRepeats = 3;

double Now() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One scan of the data set's lines on a connection of its own.
double ScanFloor(const BenchHome& home) {
  sqlite3* db = nullptr;
  sqlite3_open_v2((home.home + "/host.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  double best = 1e30;
  for (int i = 0; i < kRepeats; ++i) {
    sqlite3_stmt* stmt = nullptr;
    double started = Now();
    sqlite3_prepare_v2(db, "SELECT SUM(debit_amount) FROM journal_line WHERE data_no = ?1", -1,
                       &stmt, nullptr);
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
  if (!PrepareJournalAggregation(home, &settings)) {
    std::fprintf(stderr, "run_bench: no tax settings\n");
    std::exit(1);
  }
  double best = 1e30;
  for (int i = 0; i < kRepeats; ++i) {
    CountingTrace trace;
    TaxSummaryTables tables;
    AggregationEngine engine(home.dataSet, 4, 3, settings);
    double started = Now();
    const Status status = engine.Run(ProgressSink::None(), &tables, traced ? &trace : nullptr);
    best = std::min(best, Now() - started);
    if (!status.ok()) {
      std::fprintf(stderr, "run_bench: an aggregation pass failed (%s)\n",
                   status.ToString().c_str());
      std::exit(1);
    }
    if (traced && trace.count() == 0) {
      std::fprintf(stderr, "run_bench: the trace received nothing\n");
      std::exit(1);
    }
  }
  return best;
}

struct RunFigures {
  double milliseconds = 1e30;
  double first = 0;
  double cpuMilliseconds = 1e30;  // user and system time of the process
  long peakKilobytes = 0;
};

constexpr int kComparedRepeats = 7;

// The real program on the home, from a private folder holding the filing
// application's definition file.
// The figures of each run; repeats runs, or one when another program is to
// run in between.
RunFigures WholeRun(const BenchHome& home, const std::string& binFolder,
                    const std::string& runName = "run", int repeats = kRepeats,
                    RunFigures figures = RunFigures(), const std::string& trace = "") {
  const std::string folder = home.home + "/" + runName;
  ::mkdir(folder.c_str(), 0755);
  const std::string program = folder + "/TaxLinkAlto";
  {
    std::ifstream in(binFolder + "/TaxLinkAlto", std::ios::binary);
    std::ofstream out(program, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
  }
  ::chmod(program.c_str(), 0755);
  std::ofstream(folder + "/VelzoDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=1\r\n";
  const std::string report = folder + "/report.xml";
  std::string windowsReport = "C:" + report;
  std::replace(windowsReport.begin(), windowsReport.end(), '/', '\\');
  std::string escaped;
  for (char c : windowsReport) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string script = folder + "/run.jsonl";
  std::ofstream(script) << "{\"do\":\"type\",\"id\":1014,\"text\":\"4\"}\n"
                        << "{\"do\":\"type\",\"id\":1016,\"text\":\"3\"}\n"
                        << "{\"do\":\"type\",\"id\":1008,\"text\":\"" << escaped << "\"}\n"
                        << "{\"do\":\"click\",\"id\":1005}\n"
                        << "{\"answer\":\"ok\",\"expect\":\"未確定の税区分\"}\n"
                        << "{\"answer\":\"ok\",\"expect\":\"出力が終了しました\"}\n";

  std::vector<std::string> variables = {"MVHOST_HOME=" + home.home, "TAXLINK_UI=script",
                                        "TAXLINK_UI_SCRIPT=" + script, "TAXLINK_DRIVES=C=/",
                                        "PATH=/usr/bin:/bin"};
  if (!trace.empty()) variables.push_back("TAXLINK_TRACE=" + trace);
  std::vector<char*> envp;
  for (std::string& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), nullptr};

  for (int i = 0; i < repeats; ++i) {
    std::remove(report.c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    double started = Now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
      std::fprintf(stderr, "run_bench: cannot start %s\n", program.c_str());
      std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    double elapsed = Now() - started;
    struct stat written{};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || ::stat(report.c_str(), &written) != 0 ||
        (!trace.empty() && ::stat(trace.c_str(), &written) != 0)) {
      std::fprintf(stderr, "run_bench: the run failed (status %d)\n", status);
      std::exit(1);
    }
    if (figures.first == 0) figures.first = elapsed;
    figures.milliseconds = std::min(figures.milliseconds, elapsed);
    double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    figures.cpuMilliseconds = std::min(figures.cpuMilliseconds, cpu);
    figures.peakKilobytes = std::max(figures.peakKilobytes, usage.ru_maxrss);
  }
  return figures;
}

}  // namespace
}  // namespace taxlink::bench

int main(int argc, char** argv) {
  using namespace taxlink::bench;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100000, 1000000};
  std::string self(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
  self.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const std::string binFolder = self.substr(0, self.rfind('/'));
  const char* baselineVariable = std::getenv("TAXLINK_BENCH_BASELINE");
  const std::string baseline = baselineVariable != nullptr ? baselineVariable : "";

  std::printf("%10s %10s %14s %7s %10s %14s %7s %10s", "lines", "floor ms", "aggregation ms",
              "ratio", "traced ms", "whole run ms", "ratio", "peak MiB");
  if (!baseline.empty()) {
    std::printf(" %9s %12s %12s %9s %9s", "cold ms", "base cold ms", "baseline ms", "vs base",
                "cpu /base");
  }
  std::printf(" %14s %7s %10s %9s\n", "with trace ms", "x run", "peak MiB", "trace MiB");
  for (int lines : sizes) {
    BenchDataSetShape shape;
    shape.journalLines = lines;
    const BenchHome& home = CachedBenchHome(shape);
    const double floor = ScanFloor(home);
    const double aggregation = Aggregation(home, false);
    const double traced = Aggregation(home, true);
    mvhost::HostSession::Close();
    // In turn, the baseline first: a cold first run counts against it.
    RunFigures before;
    RunFigures run;
    if (baseline.empty()) {
      run = WholeRun(home, binFolder);
    } else {
      for (int i = 0; i < kComparedRepeats; ++i) {
        before = WholeRun(home, baseline, "run-baseline", 1, before);
        run = WholeRun(home, binFolder, "run", 1, run);
      }
    }
    std::printf("%10d %10.1f %14.1f %7.2f %10.1f %14.1f %7.2f %10.1f", lines, floor, aggregation,
                aggregation / floor, traced, run.milliseconds, run.milliseconds / floor,
                static_cast<double>(run.peakKilobytes) / 1024.0);
    if (!baseline.empty()) {
      std::printf(" %9.1f %12.1f %12.1f %9.3f %9.3f", run.first, before.first, before.milliseconds,
                  run.milliseconds / before.milliseconds,
                  run.cpuMilliseconds / before.cpuMilliseconds);
    }
    const std::string tracePath = home.home + "/run-traced/trace.json";
    const RunFigures tracedRun =
        WholeRun(home, binFolder, "run-traced", kRepeats, RunFigures(), tracePath);
    struct stat traceFile{};
    ::stat(tracePath.c_str(), &traceFile);
    std::printf(" %14.1f %7.2f %10.1f %9.1f\n", tracedRun.milliseconds,
                tracedRun.milliseconds / run.milliseconds,
                static_cast<double>(tracedRun.peakKilobytes) / 1024.0,
                static_cast<double>(traceFile.st_size) / (1024.0 * 1024.0));
    std::remove(tracePath.c_str());
    std::fflush(stdout);
  }
  return 0;
}
