#include "mvhost/cli/ClientRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <thread>

#include "mvhost/cli/BatchRunLog.h"
#include "mvhost/cli/ConcurrentCheck.h"
#include "mvhost/cli/EarlySheet.h"
#include "mvhost/cli/LaunchCommand.h"
#include "mvhost/cli/SheetAfterLaunch.h"
#include "mvhost/cli/WholeFile.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/RunLog.h"
#include "mvhost/lib/StoredDataCheck.h"
#include "platform/winfs/PathMapping.h"
#include "sheet/FindingsFile.h"
#include "sheet/ReportReader.h"
#include "sheet/SheetRows.h"
#include "trace/Sha256.h"

namespace mvhost {

namespace {

// Fragments of the messages with which the program refuses a data set or
// its months: past results, exempt, the sixth business type, the 10 % rate.
constexpr const char* kRefusals[] = {"過去実績データは", "免税のデータは", "「第六種事業」",
                                     "税率「10%」"};

bool IsRefusal(const std::string& text) {
  for (const char* fragment : kRefusals) {
    if (text.find(fragment) != std::string::npos) return true;
  }
  return false;
}

// The last line the launch (or the program) wrote about itself: "mvhost: ..."
// or "taxlink: ...", without its prefix.
std::string LastOwnLine(const std::string& log) {
  std::istringstream in(log);
  std::string found;
  for (std::string line; std::getline(in, line);) {
    for (const char* prefix : {"mvhost: ", "taxlink: "}) {
      if (line.rfind(prefix, 0) == 0) found = line.substr(std::string(prefix).size());
    }
  }
  return found;
}

std::string FirstUnforeseen(const RunTranscript& run) {
  for (const ShownMessage& message : run.messages) {
    if (!message.foreseen) return message.text;
  }
  return std::string();
}

// The notices a written run showed beside the foreseen messages.
std::string Notices(const RunTranscript& run) {
  std::string notices;
  for (const ShownMessage& message : run.messages) {
    if (!message.foreseen) notices += (notices.empty() ? "" : "\n") + message.text;
  }
  return notices;
}

// The launch's output and the program's go to a memory file (else to
// logPath): read back to classify the run. The descriptor, or -1.
int RedirectOutput(const std::string& logPath) {
  std::cout.flush();
  std::fflush(stdout);
  int fd = MemoryFile("mvhost-client-log");
  if (fd < 0) fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  ::dup2(fd, STDOUT_FILENO);
  ::dup2(fd, STDERR_FILENO);
  return fd;
}

// A file of the private work folder, written in place (no reader can meet
// it before the run starts).
bool WriteWorkFile(const std::string& path, const std::string& bytes, std::string* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const bool written = fd >= 0 && WriteWholeDescriptor(fd, bytes);
  if ((fd >= 0 && ::close(fd) != 0) || !written) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

// The findings file lists the first of them: on books with a finding on
// most lines the whole list would be larger than the data set, and only
// the first ones are read; `mvhost check` lists them all.
constexpr size_t kListedFindings = 1000;

// The command that lists all of a client's findings.
std::string CheckCommand(const ClientJob& job) {
  std::string command = "mvhost check " + std::to_string(job.set.dataNo);
  if (!job.conditions.savedValues) {
    command += " --months " + std::to_string(job.conditions.startMonth) + "-" +
               std::to_string(job.conditions.endMonth);
  }
  return command;
}

// The row names the findings file and counts all the findings.
void NameFindings(const ClientJob& job, int64_t count, ClientResult* result) {
  result->findings = count;
  result->findingsFile = job.set.dataId + ".findings.txt";
}

bool WriteFindings(const ClientJob& job, std::string text, int64_t count, ClientResult* result) {
  if (count > static_cast<int64_t>(kListedFindings)) {
    text += "(the first " + std::to_string(kListedFindings) + " of " + std::to_string(count) +
            " findings; " + CheckCommand(job) + " lists them all)\n";
  }
  std::string error;
  if (!WriteWholeFile(job.folder + "/" + job.set.dataId + ".findings.txt", text, &error)) {
    return false;
  }
  NameFindings(job, count, result);
  return true;
}

// The check of a run whose sheet did not make one (a run not written, or
// over the saved values, which name no months): the one made while the
// program ran, else one made now.
void AddFindings(const ClientJob& job, ConcurrentCheck& madeBeside, ClientResult* result) {
  std::string listedText;
  taxlink::sheet::CheckFindings made;
  std::string error;
  if (!job.conditions.savedValues &&
      madeBeside.Take(job.conditions.startMonth, job.conditions.endMonth, &made, &listedText)) {
    if (made.checked && madeBeside.Handed()) {
      NameFindings(job, made.total, result);  // written by the check's thread
    } else if (made.checked) {
      WriteFindings(job, std::move(listedText), made.total, result);
    }
    return;
  }
  HostStore own;
  const bool shared = job.store != nullptr && job.store->db() != nullptr;
  if (!shared && !own.Open(job.home, &error)) return;
  HostStore& store = shared ? *job.store : own;
  CheckRequest request;
  request.dataNo = job.set.dataNo;
  if (!job.conditions.savedValues) {
    request.startMonth = job.conditions.startMonth;
    request.endMonth = job.conditions.endMonth;
  }
  std::string text;
  size_t listed = 0;
  CheckCounts counts;
  CheckStatus status = CheckStoredDataSet(
      store, request,
      [&](const CheckFinding& finding) {
        text += finding.Text() + "\n";
        ++listed;
      },
      &error, [&] { return listed < kListedFindings; }, &counts);
  if (status != CheckStatus::kChecked) return;
  WriteFindings(job, std::move(text), counts.Total(), result);
}

// A data id names the client's files in the batch's folder: one that would
// name another folder, or a file outside it, or that Windows paths cannot
// hold, is not used.
bool UsableAsFileName(const std::string& id) {
  if (id.empty() || id == "." || id == "..") return false;
  for (const char c : id) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

void WriteOwnRunLog(const ClientJob& job, RunLogEntry entry) {
  BatchRunLog own;
  own.Add(std::move(entry));
  std::string error;
  if (!own.Write(job.home, &error)) {
    std::cerr << "mvhost: warning: the run is not in the run log: " << error << "\n";
  }
}

// The run log entry of a started run goes to the batch process, or into
// the store when that process is gone.
void HandOverRunLog(const ClientJob& job, RunLogEntry entry) {
  if (::getppid() == job.batchPid && WriteWholeDescriptor(job.runLogFd, BatchRunLog::Text(entry))) {
    return;
  }
  WriteOwnRunLog(job, std::move(entry));
}

// The run log entry written by the worker on a thread of its own, on the
// check's connection: begun when the program posts its result (it has
// ended its link to the store by then and writes there no more), so that
// the findings the check beside the program left unkept are written while
// the program ends, and committed with the entry once it is given. With
// nothing left to keep, the entry goes in alone. Nothing else may use the
// check's connection from Start to Join.
class KeepingWithEntry {
 public:
  KeepingWithEntry() = default;
  ~KeepingWithEntry() { Join(); }
  KeepingWithEntry(const KeepingWithEntry&) = delete;
  KeepingWithEntry& operator=(const KeepingWithEntry&) = delete;

  void Start(ConcurrentCheck& check) {
    try {
      thread_ = std::thread([this, &check] {
        std::future<const RunLogEntry*> entry = made_.get_future();
        bool asked = false;
        bool appended = false;
        std::string ignored;
        const bool written = check.KeepWith([&] {
          asked = true;
          const RunLogEntry* made = entry.get();
          if (made == nullptr) return true;  // no entry: the findings alone
          appended = AppendRunLog(check.store().db(), *made, &ignored);
          return appended;
        });
        if (asked) {
          logged_ = written && appended;
          return;
        }
        // Nothing was left to keep, or its transaction could not be had.
        const RunLogEntry* made = entry.get();
        logged_ = made != nullptr && check.store().db() != nullptr &&
                  WriteRunLog(check.store().db(), {*made}, &ignored);
      });
      started_ = true;
    } catch (const std::system_error&) {
      // No thread to be had: the findings go in after the program.
    }
  }

  // Hands over the entry (null: none), once; the caller leaves it alone
  // until Join.
  void Give(const RunLogEntry* entry) {
    if (!started_ || given_) return;
    given_ = true;
    made_.set_value(entry);
  }

  // Waits for the commit (without an entry, when none was given).
  void Join() {
    Give(nullptr);
    if (thread_.joinable()) thread_.join();
  }

  // The thread was started (and logged() tells, after Join, what it did).
  bool Started() const { return started_; }

  // After Join: the entry is in the run log.
  bool logged() const { return logged_; }

 private:
  std::promise<const RunLogEntry*> made_;
  std::thread thread_;
  bool started_ = false;
  bool given_ = false;
  bool logged_ = false;
};

std::string PeriodText(const DataSetListing& set) {
  return FormatDateText(set.periodStart) + ".." + FormatDateText(set.periodEnd);
}

}  // namespace

std::string ClientJob::WorkPath(const char* suffix) const {
  return workFolder + "/" + std::to_string(slot) + suffix;
}

void ClassifyRun(int launchStatus, const RunTranscript& run, const std::string& log,
                 ClientResult* result) {
  const std::string unforeseen = FirstUnforeseen(run);
  if (launchStatus == 0 || launchStatus == kLaunchNoSheet) {
    if (!run.dialogMismatches.empty()) {
      // Written, but not under the conditions asked for.
      result->status = "failed";
      result->message = "the conditions could not be given: " + run.dialogMismatches.front();
      return;
    }
    result->status = "written";
    result->message = Notices(run);
    if (launchStatus == kLaunchNoSheet) {
      result->message += (result->message.empty() ? "" : "\n") + LastOwnLine(log);
    }
    return;
  }
  result->status = "failed";
  if (launchStatus == 1) {
    for (const ShownMessage& message : run.messages) {
      if (!message.foreseen && IsRefusal(message.text)) {
        result->status = "refused";
        result->message = message.text;
        return;
      }
    }
  }
  if (!unforeseen.empty()) {
    result->message = unforeseen;
  } else if (!run.dialogMismatches.empty()) {
    result->message = run.dialogMismatches.front();
  } else if (!LastOwnLine(log).empty()) {
    result->message = LastOwnLine(log);
  } else if (launchStatus == 1) {
    result->message = "the run was stopped";
  } else if (launchStatus == kLaunchNoNotification) {
    result->message = "the program posted no result";
  } else {
    result->message = "the run failed";
  }
}

ClientResult RunClient(const ClientJob& job) {
  ClientResult result;
  result.dataNo = job.set.dataNo;
  result.dataId = job.set.dataId;
  result.company = job.set.companyName;
  result.period = PeriodText(job.set);
  result.method = job.conditions.savedValues ? "saved" : "journals";
  if (!job.conditions.savedValues) {
    result.months =
        std::to_string(job.conditions.startMonth) + "-" + std::to_string(job.conditions.endMonth);
  }

  const std::string script = job.WorkPath(".script.jsonl");
  const std::string transcript = job.WorkPath(".transcript.jsonl");
  const std::string logPath = job.WorkPath(".log");
  const auto started = std::chrono::steady_clock::now();
  const std::string reportPath = job.folder + "/" + job.ReportName();
  struct stat before {};
  const bool reportBefore = ::stat(reportPath.c_str(), &before) == 0;
  int status = kLaunchCannotStart;
  bool launched = false;
  SheetOutcome sheet;
  ConcurrentCheck madeBeside;
  RunLogEntry runLog;
  // Declared after what its thread uses, so that it is joined first.
  KeepingWithEntry keeping;
  std::function<void(bool late)> logEntry = [](bool) {};
  if (!UsableAsFileName(job.set.dataId)) {
    result.status = "failed";
    result.message = "the data id cannot name a file in the batch's folder: " + job.set.dataId;
  } else if (job.conditions.savedValues && !job.set.savedReturn) {
    result.status = "failed";
    result.message = "the data set has no saved return values";
  } else if (!WriteWorkFile(script, BatchScriptText(job.conditions), &result.message)) {
    result.status = "failed";
  } else {
    // The slot's transcript of an earlier client is emptied, not removed:
    // the program appends to it.
    ::truncate(transcript.c_str(), 0);
    const std::string window = job.WindowFolder();
    ::mkdir(window.c_str(), 0700);
    ::setenv("MVHOST_USER", job.user.c_str(), 1);
    ::setenv("MVHOST_DATA_NO", std::to_string(job.set.dataNo).c_str(), 1);
    ::setenv("TAXLINK_UI", "script", 1);
    ::setenv("TAXLINK_UI_SCRIPT", script.c_str(), 1);
    ::setenv("TAXLINK_UI_TRANSCRIPT", transcript.c_str(), 1);
    const int log = RedirectOutput(logPath);
    LaunchOptions launch;
    launch.edition = job.edition;
    launch.program = job.program;
    launch.home = job.home;
    launch.windowFolder = window;
    launch.windowFd = job.windowFd;
    launch.windowHandle = job.windowHandle;
    launch.sheet = true;
    launch.via = "batch";
    launch.sheetOutcome = &sheet;
    RunTranscript run;
    launch.transcript = &run;
    sheet.check = job.findings;
    sheet.findingsTextLimit = job.findings ? kListedFindings : 0;
    const bool checkBeside = job.findings && job.checkWhileRunning && !job.conditions.savedValues;
    // Joined before the sheet, and on every way out of this scope.
    std::jthread sheetReading;
    // Keeps what the check beside the program left unkept, from the post on
    // (the program has ended its link to the store), while the program
    // ends; joined before anything else uses the store.
    std::jthread keepingAtPost;
    launch.started = [&] {
      if (job.prepareSheet) {
        auto prepare = [] {
          taxlink::sheet::PrepareReportReading();
          taxlink::sheet::AllTopicRows();
        };
        // After the check beside the program, on its thread (the sheet
        // takes the check's findings before it reads the report); else on
        // a thread of its own.
        if (checkBeside) {
          madeBeside.Afterwards(prepare);
        } else {
          sheetReading = std::jthread(prepare);
        }
      }
      if (checkBeside) {
        // The findings file is written as soon as the check has made it,
        // while the program runs: its content is the check's, whatever the
        // run's outcome, as the file written after the program would be.
        madeBeside.WhenMade([&job](const taxlink::sheet::CheckFindings& made,
                                   const std::string& text) {
          ClientResult named;
          return WriteFindings(job, text, made.total, &named);
        });
        madeBeside.Start(job.home, job.set.dataNo, job.conditions.startMonth,
                         job.conditions.endMonth, kListedFindings, job.store);
      }
    };
    // The sheet is made from the moment the program says it wrote the
    // report, while it ends, when it needs no store (its findings are those
    // of the check beside the program, or it has none).
    EarlySheet early;
    const bool keepWithEntry = checkBeside && job.logsItself && job.runLogFd >= 0;
    // The entry goes in with the findings the check kept after the program
    // (one commit and its syncs instead of two); else to the batch process.
    // `late`: the batch has taken the client's row already.
    logEntry = [&, keepWithEntry](bool late) {
      if (runLog.startedAt.empty()) return;
      std::string ignored;
      const bool logged =
          keeping.logged() ||
          (keepWithEntry && madeBeside.KeepWith([&] {
            return AppendRunLog(madeBeside.store().db(), runLog, &ignored);
          }));
      if (logged) return;
      if (!late) {
        HandOverRunLog(job, std::move(runLog));
      } else if (!job.lateEntry || !job.lateEntry(runLog)) {
        WriteOwnRunLog(job, std::move(runLog));
      }
    };
    if (keepWithEntry) madeBeside.KeepLater();
    const std::optional<std::string> reportPosix =
        platform::MapUtf8WindowsPath(job.conditions.windowsPath);
    auto startSheet = [&](bool programEnded) {
      // The report's reader (libxml2) is used by one thread at a time: the
      // schema's thread has ended before the sheet's starts.
      if (sheetReading.joinable()) sheetReading.join();
      if (reportPosix) {
        early.Start(*reportPosix, job.findings ? &madeBeside : nullptr, job.conditions.startMonth,
                    job.conditions.endMonth, programEnded);
      }
    };
    if (checkBeside || !job.findings) {
      // The sheet starts once the report is renamed into place, while the
      // program still records and ends; else once the program posts.
      if (reportPosix && job.arrival != nullptr && job.arrival->Watch(*reportPosix)) {
        launch.watchFd = job.arrival->fd();
        launch.watched = [&] {
          if (job.arrival->Arrived()) startSheet(false);
        };
      }
      launch.posted = [&] {
        startSheet(true);
        if (keepWithEntry) {
          keeping.Start(madeBeside);
        } else if (checkBeside) {
          try {
            keepingAtPost = std::jthread([&madeBeside] { madeBeside.Wait(); });
          } catch (const std::system_error&) {
            // Kept once the program has ended.
          }
        }
      };
      launch.sheetMade = [&](const TakenConditions* taken, const std::string& sha256,
                             SheetOutcome* outcome, bool* written, std::string* error) {
        if (early.Finish(taken, sha256, outcome, written, error)) return true;
        // The launch makes the sheet with the store: the entry's write on
        // that connection ends first.
        keeping.Join();
        return false;
      };
    }
    launch.ended = [&] {
      // Before the check's findings are waited for or the store is used.
      early.Join();
      if (sheetReading.joinable()) sheetReading.join();
      if (keepingAtPost.joinable()) keepingAtPost.join();
      // The check's read of the store would hold off the run log's write.
      madeBeside.Wait();
      if (!checkBeside && job.findings && job.store != nullptr && job.store->db() == nullptr) {
        std::string ignored;
        // Without it, the sheet's check opens a connection of its own.
        if (!job.store->Open(job.home, &ignored)) job.store->Close();
      }
    };
    if (checkBeside) {
      sheet.madeBeside = &madeBeside;
      // The connection the check will use (the slot's, when it has one):
      // store() says so only once the check has started.
      launch.store = job.store != nullptr ? job.store : &madeBeside.store();
    } else {
      launch.store = job.store;
    }
    if (job.runLogFd >= 0) launch.runLog = &runLog;
    launch.runLogMade = [&] {
      runLog.userId = job.user;
      runLog.dataNo = job.set.dataNo;
      keeping.Give(&runLog);
    };
    status = LaunchCommand(launch);
    launched = true;
    keeping.Give(nullptr);  // a launch that made no entry
    if (!keeping.Started()) logEntry(false);
    std::cout.flush();
    std::fflush(stdout);
    ClassifyRun(status, run, log >= 0 ? ReadWholeDescriptor(log) : std::string(), &result);
    // A worker runs many clients: each has a log of its own.
    if (log >= 0) ::close(log);
  }
  if (launched && result.status == "failed" && !reportBefore) {
    // A run stopped after its report was in place (Ctrl+C at the closing
    // message) did not finish: its row says so and names no report, so the
    // report goes too and --resume runs the client again.
    ::unlink(reportPath.c_str());
  }
  result.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();

  if (result.status == "written" && !sheet.sheetPath.empty()) {
    // The sheet read the report: its hash, size and figures come from there.
    result.report = job.ReportName();
    result.reportSha256 = sheet.reportSha256;
    result.reportSize = sheet.reportSize;
    result.figures = ReportFigures::Of(sheet.report);
    result.sheet = job.set.dataId + ".html";
  } else if (result.status == "written") {
    const std::string report = ReadWholeFile(reportPath);
    result.report = job.ReportName();
    result.reportSha256 = taxlink::Sha256Hex(report);
    result.reportSize = static_cast<int64_t>(report.size());
    ReportFigures figures;
    std::string error;
    if (ReportFigures::Read(report, &figures, &error)) {
      result.figures = figures;
    } else {
      result.message += (result.message.empty() ? "" : "\n") + error;
    }
  }
  if (job.findings && UsableAsFileName(job.set.dataId)) {
    if (sheet.checked && sheet.usedBeside && madeBeside.Handed()) {
      // The sheet showed the check made beside the program, whose thread
      // wrote the file.
      NameFindings(job, sheet.findings, &result);
    } else if (!sheet.checked ||
               !WriteFindings(job, sheet.findingsText, sheet.findings, &result)) {
      keeping.Join();  // the check's connection is free again
      AddFindings(job, madeBeside, &result);
    }
  }
  if (keeping.Started()) {
    // The batch takes the row while the entry's commit ends.
    if (job.rowReady) job.rowReady(result);
    keeping.Join();
    logEntry(static_cast<bool>(job.rowReady));
  }
  return result;
}

}  // namespace mvhost
