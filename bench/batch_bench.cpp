// mvhost batch against the single launches it stands for, in one run:
//   1. a home of 200 clients of 40 journal lines each: every client launched
//      alone with `mvhost launch` one after another (the sum of the single
//      runs), then again with `--sheet` (the check sheet and the findings,
//      as the batch makes them), then `mvhost batch -j 2` and `-j 1` over
//      all of them;
//   2. one client of a million lines: a single `mvhost launch` (with and
//      without `--sheet`) against `mvhost batch` of that client, in pairs
//      taken in turns (TAXLINK_BENCH_PAIRS, default 7): the best of each and
//      the median and spread of the pairs' ratios; then the same for the
//      first batch and the first launch after a change of one line (the
//      check reads the changed chunk), and the batch after that.
// The batch does more per client than a plain launch (the check sheet, the
// findings of the bookkeeping check, the index row); beyond `launch --sheet`
// is its own overhead (the script, the result, the index). The first launch of each part is printed
// on its own (cold). Arguments: the number of clients and the lines of the large client (default
// 200 1000000).
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchHome.h"

extern char** environ;

namespace {

double Now() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string BinFolder() {
  std::string self(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
  self.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return self.substr(0, self.rfind('/'));
}

// The processor time (user + system, ms) of the last Run, with the
// processes it waited for: on a machine shared with other work the wall time
// of a run waits for the processor, its processor time does not.
double lastCpu = 0;
// When the last Run's process ended (Now()): the wall time a caller waits.
double lastEnded = 0;

// Runs a program with extra environment entries, its output to /dev/null (or
// to a file); the exit status, or -1.
int Run(const std::vector<std::string>& args, const std::vector<std::string>& extra,
        const std::string& outputFile = "/dev/null") {
  std::vector<std::string> variables = extra;
  char** last = environ;
  while (*last != nullptr) ++last;
  variables.insert(variables.end(), environ, last);
  std::vector<char*> envp;
  envp.reserve(variables.size() + 1);
  for (std::string& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  argv.reserve(copy.size() + 1);
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  lastEnded = Now();
  auto cpu = [](const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
  };
  lastCpu = cpu(usage);
  // A batch does not wait for a worker that said it is done while that
  // worker's process ends: it comes to this process (a subreaper), and
  // its processor time counts too.
  rusage more{};
  int ignored = 0;
  while (::wait4(-1, &ignored, 0, &more) > 0) lastCpu += cpu(more);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Fail(const std::string& message) {
  std::fprintf(stderr, "batch_bench: %s\n", message.c_str());
  std::exit(1);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Escaped(const std::string& windowsPath) {
  std::string out;
  for (char c : windowsPath) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string WindowsPath(const std::string& posix) {
  std::string path = "C:" + posix;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// A program folder as the host has it: the program and the filing
// application's definition file.
std::string ProgramFolder(const std::string& bin, const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(bin + "/TaxLinkAlto", folder + "/TaxLinkAlto",
                             std::filesystem::copy_options::overwrite_existing);
  std::ofstream(folder + "/VelzoDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=1\r\n";
  return folder + "/TaxLinkAlto";
}

// One single launch of a client as a person's loop would do it: its own
// user and data set in the environment, a script that answers the run.
double SingleLaunch(const std::string& bin, const std::string& home, const std::string& program,
                    const std::string& user, int dataNo, const std::string& report,
                    bool sheet = false) {
  const std::string script = report + ".jsonl";
  std::ofstream(script) << "{\"do\":\"type\",\"id\":1014,\"text\":\"4\"}\n"
                        << "{\"do\":\"type\",\"id\":1016,\"text\":\"3\"}\n"
                        << "{\"do\":\"type\",\"id\":1008,\"text\":\""
                        << Escaped(WindowsPath(report)) << "\"}\n"
                        << "{\"do\":\"click\",\"id\":1005}\n"
                        << "{\"answer\":\"yes\",\"expect\":\"上書き\",\"optional\":true}\n"
                        << "{\"answer\":\"ok\",\"expect\":\"未確定の税区分\",\"optional\":true}\n"
                        << "{\"answer\":\"ok\",\"expect\":\"出力が終了しました\"}\n";
  const double started = Now();
  std::vector<std::string> args = {bin + "/mvhost", "launch", "Alto", "--program", program};
  if (sheet) args.push_back("--sheet");
  int status = Run(args, {"MVHOST_HOME=" + home, "MVHOST_USER=" + user,
                          "MVHOST_DATA_NO=" + std::to_string(dataNo), "TAXLINK_UI=script",
                          "TAXLINK_UI_SCRIPT=" + script, "TAXLINK_DRIVES=C=/"});
  const double elapsed = lastEnded - started;
  if (status != 0) Fail("the single launch of data set " + std::to_string(dataNo) + " failed");
  return elapsed;
}

double Batch(const std::string& bin, const std::string& home, const std::string& program,
             const std::string& out, const std::vector<std::string>& more) {
  std::vector<std::string> args = {bin + "/mvhost",  "batch",       "--out",     out,
                                   "--whole-period", "--overwrite", "--program", program};
  args.insert(args.end(), more.begin(), more.end());
  const double started = Now();
  int status = Run(args, {"MVHOST_HOME=" + home, "TAXLINK_DRIVES=C=/"}, out + ".log");
  const double elapsed = lastEnded - started;
  if (status != 0) Fail("the batch failed; see " + out + ".log");
  return elapsed;
}

std::string CurrentUser(const std::string& bin, const std::string& home) {
  const std::string file = home + "/user.txt";
  if (Run({bin + "/mvhost", "state", "current_user"}, {"MVHOST_HOME=" + home}, file) != 0) {
    Fail("no current user in " + home);
  }
  std::string user = ReadAll(file);
  return user.substr(0, user.find('\n'));
}

// The home of many small clients: the generated data set of 40 lines,
// exported once and imported under further numbers.
std::string ClientsHome(const std::string& bin, int clients) {
  taxlink::bench::BenchDataSetShape shape;
  shape.journalLines = 40;
  shape.accounts = 30;
  shape.departments = 5;
  const taxlink::bench::BenchHome& small = taxlink::bench::CachedBenchHome(shape);
  std::string home = small.home + "-clients-" + std::to_string(clients);
  if (std::filesystem::exists(home + "/complete")) return home;
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home);
  if (Run({bin + "/mvhost", "init"}, {"MVHOST_HOME=" + home}) != 0) Fail("cannot make " + home);
  const std::string exported = home + "/client.json";
  if (Run({bin + "/mvhost", "export"}, {"MVHOST_HOME=" + small.home}, exported) != 0) {
    Fail("cannot export the small data set");
  }
  // The generator writes no tax_rate rows; the import wants the rates the
  // lines carry.
  std::string text = ReadAll(exported);
  const std::string noRates = "\"tax_rates\": []";
  const size_t rates = text.find(noRates);
  if (rates != std::string::npos) text.replace(rates, noRates.size(), "\"tax_rates\": [8, 5, 3]");
  const std::string idKey = "\"data_id\": \"";
  const size_t idAt = text.find(idKey);
  const size_t noAt = text.find("\"data_no\": ");
  if (idAt == std::string::npos || noAt == std::string::npos) Fail("unexpected export");
  const size_t idEnd = text.find('"', idAt + idKey.size());
  const size_t noEnd = text.find_first_of(",\n", noAt);
  for (int client = 1; client <= clients; ++client) {
    char id[16];
    std::snprintf(id, sizeof id, "C%04d", client);
    std::string set = text.substr(0, noAt) + "\"data_no\": " + std::to_string(client) +
                      text.substr(noEnd, idAt - noEnd) + idKey + id + text.substr(idEnd);
    const std::string file = home + "/client-" + std::to_string(client) + ".json";
    std::ofstream(file, std::ios::binary) << set;
    if (Run({bin + "/mvhost", "import", "--warnings", "none", file}, {"MVHOST_HOME=" + home}) !=
        0) {
      Fail("cannot import " + file);
    }
    std::remove(file.c_str());
  }
  std::ofstream(home + "/complete") << "";
  return home;
}

}  // namespace

// One run's wall and processor time.
struct Sample {
  double wall = 0;
  double cpu = 0;
};

// The ratios of pairs of runs (a batch against a launch run next to it):
// the median says more than a ratio of two bests, the spread how far one
// pair can be trusted on a busy machine.
class Ratios {
 public:
  void Add(const Sample& batch, const Sample& launch) {
    wall_.push_back(batch.wall / launch.wall);
    cpu_.push_back(batch.cpu / launch.cpu);
  }
  void Print(const char* what) {
    std::printf("  %s, %zu pairs in turns: wall median %.2f x (%.2f to %.2f), processor median "
                "%.2f x (%.2f to %.2f)\n",
                what, wall_.size(), Median(wall_), Min(wall_), Max(wall_), Median(cpu_),
                Min(cpu_), Max(cpu_));
  }

 private:
  static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  static double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
  static double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }
  std::vector<double> wall_;
  std::vector<double> cpu_;
};

// The machine's processor pressure so far: how long some runnable task
// waited for a core (/proc/pressure/cpu, "some", ms), or -1 without it. A
// batch of -j 2 needs both cores: the other sessions' work shows here.
double CpuPressureMs() {
  std::ifstream in("/proc/pressure/cpu");
  std::string word;
  while (in >> word) {
    if (word.rfind("total=", 0) == 0) return std::atof(word.c_str() + 6) / 1000.0;
  }
  return -1;
}

// The share of wall ms during which some task waited for a core, as text.
std::string PressureShare(double before, double after, double wall) {
  if (before < 0 || after < 0 || wall <= 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.0f %%", 100.0 * (after - before) / wall);
  return text;
}

struct Timing {
  double wall = 0;
  double cpu = 0;
  void Add(double w) {
    wall += w;
    cpu += lastCpu;
  }
  // The fastest of runs (wall time), with its processor time: the run the
  // machine's other work disturbed least.
  void Best(double w) { Best(Sample{w, lastCpu}); }
  void Best(const Sample& s) {
    if (wall == 0 || s.wall < wall) {
      wall = s.wall;
      cpu = s.cpu;
    }
  }
};

int main(int argc, char** argv) {
  // The batches' workers that end after their batch are reaped here.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  const int clients = argc > 1 ? std::atoi(argv[1]) : 200;
  const int bigLines = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const std::string bin = BinFolder();

  // 1. Many small clients.
  const std::string home = ClientsHome(bin, clients);
  const std::string user = CurrentUser(bin, home);
  const std::string program = ProgramFolder(bin, home + "/prog");
  const std::string singles = home + "/singles";
  std::filesystem::create_directories(singles);
  double first = 0;
  Timing sum;
  const double singlesPressure = CpuPressureMs();
  for (int client = 1; client <= clients; ++client) {
    char id[16];
    std::snprintf(id, sizeof id, "C%04d", client);
    double elapsed = SingleLaunch(bin, home, program, user, client, singles + "/" + id + ".xml");
    if (client == 1) first = elapsed;
    sum.Add(elapsed);
  }
  const double singlesPressureEnd = CpuPressureMs();
  // The same with the check sheet and its findings, as the batch makes
  // them: what the batch does beyond these is its own overhead.
  Timing sheets;
  for (int client = 1; client <= clients; ++client) {
    char id[16];
    std::snprintf(id, sizeof id, "C%04d", client);
    sheets.Add(SingleLaunch(bin, home, program, user, client, singles + "/" + id + ".xml", true));
  }
  Timing j2, j1, bare;
  const double j2Pressure = CpuPressureMs();
  j2.Add(Batch(bin, home, program, home + "/batch-j2", {"-j", "2", "--all"}));
  const double j2PressureEnd = CpuPressureMs();
  j1.Add(Batch(bin, home, program, home + "/batch-j1", {"-j", "1", "--all"}));
  bare.Add(Batch(bin, home, program, home + "/batch-bare", {"-j", "1", "--no-findings", "--all"}));
  std::printf("%d clients of 40 lines (wall ms / processor ms)\n", clients);
  std::printf(
      "  single launches one after another: %.0f / %.0f (first, cold: %.0f wall; mean "
      "%.1f / %.1f)\n",
      sum.wall, sum.cpu, first, sum.wall / clients, sum.cpu / clients);
  std::printf(
      "  batch -j 2: %.0f / %.0f = %.2f x (sum / 2) in wall time (target 1.3 x); processor "
      "%.2f x the sum\n",
      j2.wall, j2.cpu, j2.wall / (sum.wall / 2), j2.cpu / sum.cpu);
  std::printf(
      "  cores the batch -j 2 used: %.2f (processor / wall); some task waited for a core "
      "during the single launches %s, during the batch -j 2 %s of the wall time\n",
      j2.cpu / j2.wall, PressureShare(singlesPressure, singlesPressureEnd, sum.wall).c_str(),
      PressureShare(j2Pressure, j2PressureEnd, j2.wall).c_str());
  std::printf(
      "  batch -j 1: %.0f / %.0f; per client beyond the single launch %.1f ms wall = "
      "%.1f %%, %.1f ms processor = %.1f %%\n",
      j1.wall, j1.cpu, (j1.wall - sum.wall) / clients, 100.0 * (j1.wall - sum.wall) / sum.wall,
      (j1.cpu - sum.cpu) / clients, 100.0 * (j1.cpu - sum.cpu) / sum.cpu);
  std::printf("  batch -j 1 --no-findings: %.0f / %.0f; per client %.1f ms processor = %.1f %%\n",
              bare.wall, bare.cpu, (bare.cpu - sum.cpu) / clients,
              100.0 * (bare.cpu - sum.cpu) / sum.cpu);
  std::printf(
      "  single launches --sheet one after another: %.0f / %.0f; the batch -j 1 "
      "beyond them (script, result, index): %.1f ms wall = %.1f %%, %.1f ms processor = "
      "%.1f %% of a run\n",
      sheets.wall, sheets.cpu, (j1.wall - sheets.wall) / clients,
      100.0 * (j1.wall - sheets.wall) / sheets.wall, (j1.cpu - sheets.cpu) / clients,
      100.0 * (j1.cpu - sheets.cpu) / sheets.cpu);
  std::printf("  batch -j 2 against the single launches --sheet: %.2f x (sum / 2) in wall time\n",
              j2.wall / (sheets.wall / 2));

  // 2. One client of a million lines.
  taxlink::bench::BenchDataSetShape shape;
  shape.journalLines = bigLines;
  const taxlink::bench::BenchHome& big = taxlink::bench::CachedBenchHome(shape);
  const std::string bigUser = CurrentUser(bin, big.home);
  const std::string bigProgram = ProgramFolder(bin, big.home + "/batch-prog");
  std::filesystem::create_directories(big.home + "/single");
  const std::string bigReport = big.home + "/single/report.xml";
  const double coldSingle = SingleLaunch(bin, big.home, bigProgram, bigUser, big.dataNo, bigReport);
  // Pairs of a batch and a single launch, in turns (which goes first
  // alternates), so that a burst of other work falls on both kinds alike;
  // the ratio is taken within each pair, and its median and spread printed.
  // TAXLINK_BENCH_PAIRS names the number of pairs (default 7).
  const char* pairsSetting = std::getenv("TAXLINK_BENCH_PAIRS");
  const int pairs = std::max(1, pairsSetting != nullptr ? std::atoi(pairsSetting) : 7);
  Timing single, singleSheet, batch, batchBare;
  Ratios plain;
  const std::string number = std::to_string(big.dataNo);
  auto runSingle = [&] {
    const double w = SingleLaunch(bin, big.home, bigProgram, bigUser, big.dataNo, bigReport);
    return Sample{w, lastCpu};
  };
  auto runBatch = [&] {
    const double w = Batch(bin, big.home, bigProgram, big.home + "/batch", {"-j", "1", number});
    return Sample{w, lastCpu};
  };
  for (int round = 0; round < pairs; ++round) {
    Sample s;
    Sample b;
    if (round % 2 == 0) {
      s = runSingle();
      b = runBatch();
    } else {
      b = runBatch();
      s = runSingle();
    }
    single.Best(s);
    batch.Best(b);
    plain.Add(b, s);
    singleSheet.Best(SingleLaunch(bin, big.home, bigProgram, bigUser, big.dataNo, bigReport, true));
    batchBare.Best(Batch(bin, big.home, bigProgram, big.home + "/batch-bare",
                         {"-j", "1", "--no-findings", number}));
  }
  // After a change of one line: each pair changes the line, runs one kind,
  // changes it back and runs the other, so both are the first run after a
  // change (the program's own first run after one is in both; the batch's
  // check reads the changed chunk). The next batch reads what the first
  // kept. Changes come in pairs, so the cached home ends as it was.
  auto changeLine = [&](bool up) {
    sqlite3* db = nullptr;
    const std::string sql = "UPDATE journal_line SET debit_amount = debit_amount " +
                            std::string(up ? "+" : "-") + " 10000 WHERE data_no = " + number +
                            " AND line_id = " + std::to_string(bigLines / 2);
    if (sqlite3_open((big.home + "/host.db").c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_changes(db) != 1) {
      Fail("cannot change a line of " + big.home);
    }
    sqlite3_close(db);
  };
  Timing changed, next, changedSingle;
  Ratios afterChange;
  for (int round = 0; round < pairs; ++round) {
    Sample s;
    Sample b;
    for (int half = 0; half < 2; ++half) {
      changeLine(half == 0);
      if ((half == 0) == (round % 2 == 0)) {
        s = runSingle();
      } else {
        b = runBatch();
        next.Best(runBatch());
      }
    }
    changedSingle.Best(s);
    changed.Best(b);
    afterChange.Add(b, s);
  }
  std::printf("one client of %d lines (wall ms / processor ms, best of %d)\n", bigLines, pairs);
  std::printf("  single launch: %.0f / %.0f (first, cold: %.0f wall)\n", single.wall, single.cpu,
              coldSingle);
  std::printf("  single launch --sheet: %.0f / %.0f = %.2f x (processor %.2f x)\n",
              singleSheet.wall, singleSheet.cpu, singleSheet.wall / single.wall,
              singleSheet.cpu / single.cpu);
  std::printf(
      "  batch: %.0f / %.0f = %.2f x the single launch in wall time (target 1.1 x; processor "
      "%.2f x)\n",
      batch.wall, batch.cpu, batch.wall / single.wall, batch.cpu / single.cpu);
  plain.Print("batch / single launch");
  std::printf("  batch --no-findings: %.0f / %.0f = %.2f x (processor %.2f x)\n", batchBare.wall,
              batchBare.cpu, batchBare.wall / single.wall, batchBare.cpu / single.cpu);
  std::printf(
      "  batch after a one-line change: %.0f / %.0f = %.2f x (processor %.2f x); "
      "the next batch: %.0f / %.0f = %.2f x\n",
      changed.wall, changed.cpu, changed.wall / single.wall, changed.cpu / single.cpu, next.wall,
      next.cpu, next.wall / single.wall);
  std::printf(
      "  single launch after a one-line change: %.0f / %.0f; the batch after one: "
      "%.2f x it in wall time (target 1.1 x; processor %.2f x)\n",
      changedSingle.wall, changedSingle.cpu, changed.wall / changedSingle.wall,
      changed.cpu / changedSingle.cpu);
  afterChange.Print("batch after a change / launch after a change");
  return 0;
}
