#include "mvhost/cli/BatchCommand.h"

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>

#include "mvhost/cli/BatchIndex.h"
#include "mvhost/cli/BatchProgress.h"
#include "mvhost/cli/BatchRunLog.h"
#include "mvhost/cli/BatchSlot.h"
#include "mvhost/cli/ClientRun.h"
#include "mvhost/cli/Commands.h"
#include "mvhost/cli/LaunchCommand.h"
#include "mvhost/cli/Usage.h"
#include "mvhost/cli/WholeFile.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/StoreAdmin.h"
#include "platform/winfs/PathMapping.h"
#include "sheet/ReportReader.h"
#include "sheet/SheetRows.h"
#include "trace/Sha256.h"

namespace mvhost {

namespace {

volatile sig_atomic_t stopSignal = 0;

void OnStop(int sig) { stopSignal = sig; }

// Ctrl+C, a hang-up or SIGTERM stop the batch from starting further
// clients; the running ones end (the terminal's Ctrl+C reaches their
// programs too) and go into the index.
class StopSignals {
 public:
  StopSignals() {
    struct sigaction stop {};
    stop.sa_handler = OnStop;
    sigemptyset(&stop.sa_mask);
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &stop, &previous_[i]);
  }
  ~StopSignals() {
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  static constexpr int kSignals[3] = {SIGINT, SIGHUP, SIGTERM};
  struct sigaction previous_[3]{};
};

int Refuse(const std::string& message) {
  std::cerr << "mvhost: " << message << "\n";
  return 1;
}

int Month(int32_t yyyymmdd) { return yyyymmdd / 100 % 100; }

// The index and the run log are brought up to date at most this long after
// a client ends: once per client, their writes would stall the other
// clients (the run log's commit holds off every read of the store while it
// syncs; the index files are made afresh each time).
constexpr auto kWriteInterval = std::chrono::milliseconds(500);

// The edition of the runs: --edition, else the home's when it names one,
// else Alto.
std::string EditionOf(const BatchOptions& options, HostStore& store) {
  if (!options.edition.empty()) return options.edition;
  std::optional<std::string> stored;
  std::string ignored;
  if (ReadStateEntry(store.db(), "edition", &stored, &ignored) && stored) {
    for (const char* edition : {"Alto", "Std", "Serena"}) {
      if (strcasecmp(stored->c_str(), edition) == 0) return edition;
    }
  }
  return "Alto";
}

// --resume leaves a client whose index row says written, whose report is
// the one the row describes and is newer than the data set's last import.
bool WrittenBefore(const DataSetListing& set, const std::string& folder,
                   const std::vector<ClientResult>& index, ClientResult* row) {
  auto found = std::find_if(index.begin(), index.end(),
                            [&](const ClientResult& r) { return r.dataId == set.dataId; });
  if (found == index.end() || found->status != "written" || set.importedAt <= 0) return false;
  const std::string report = folder + "/" + set.dataId + ".xml";
  struct stat st;
  if (::stat(report.c_str(), &st) != 0 || st.st_mtime <= set.importedAt) return false;
  if (taxlink::Sha256Hex(ReadWholeFile(report)) != found->reportSha256) return false;
  *row = *found;
  return true;
}

// What a worker is told of its client (it may be forked before the batch
// has read its clients): the data set's listing, the user, the edition and
// the output folder, as POSIX and Windows paths.
struct ToldClient {
  DataSetListing set;
  std::string user;
  std::string edition;
  std::string folder;
  std::string windowsFolder;
};

constexpr char kToldSeparator = '\0';
constexpr size_t kToldFields = 11;

std::string Tell(const ToldClient& c) {
  const std::string fields[kToldFields] = {std::to_string(c.set.dataNo),
                                          c.set.dataId,
                                          c.set.companyName,
                                          std::to_string(c.set.periodStart),
                                          std::to_string(c.set.periodEnd),
                                          std::to_string(c.set.importedAt),
                                          c.set.savedReturn ? "1" : "0",
                                          c.user,
                                          c.edition,
                                          c.folder,
                                          c.windowsFolder};
  std::string text;
  for (const std::string& field : fields) text += field + kToldSeparator;
  return text;
}

bool Hear(const std::string& text, ToldClient* c) {
  std::string fields[kToldFields];
  size_t at = 0;
  for (std::string& field : fields) {
    const size_t end = text.find(kToldSeparator, at);
    if (end == std::string::npos) return false;
    field = text.substr(at, end - at);
    at = end + 1;
  }
  if (at != text.size()) return false;
  try {
    c->set.dataNo = std::stoi(fields[0]);
    c->set.periodStart = std::stoi(fields[3]);
    c->set.periodEnd = std::stoi(fields[4]);
    c->set.importedAt = std::stoll(fields[5]);
  } catch (const std::exception&) {
    return false;
  }
  c->set.dataId = fields[1];
  c->set.companyName = fields[2];
  c->set.savedReturn = fields[6] == "1";
  c->user = fields[7];
  c->edition = fields[8];
  c->folder = fields[9];
  c->windowsFolder = fields[10];
  return !c->windowsFolder.empty();
}

}  // namespace

int BatchCommand(const BatchOptions& options) {
  const std::string home = ResolveHome(options.home);
  // The work folder and the first worker come before the store: the
  // worker's start (its process copied, its first pages touched) goes on
  // while the batch opens the store and lists its clients.
  std::string reason;
  const std::string work = MakePrivateFolder("mvhost-batch", &reason);
  if (work.empty()) return Refuse("cannot create a work folder: " + reason);
  // Gone on every way out, after the slots (declared after it).
  const std::unique_ptr<const std::string, void (*)(const std::string*)> workGone(
      &work, [](const std::string* folder) {
        std::error_code ignored;
        std::filesystem::remove_all(*folder, ignored);
      });
  // The run log's connection while no worker is to be forked (an SQLite
  // connection must not be open across a fork): made while clients run,
  // once every slot has its worker, so the writes do not open the store.
  HostStore logStore;
  bool logStoreTried = false;
  // The slots, each with its worker process, which runs the slot's clients
  // one after another, rewriting the slot's files. A slot whose worker
  // ended abnormally is retired, its files not used again: its program may
  // still be running and writing the slot's transcript.
  std::vector<std::unique_ptr<BatchSlot>> slots;
  // The window handle of every slot's socket: each slot has a folder of its
  // own, so one number serves them all.
  const uint32_t windowHandle = static_cast<uint32_t>(::getpid()) & 0x7FFFFFFFu;
  // What a worker runs for a client in `slot` (the worker is a copy of this
  // process and finds the options here, the client in what it is told).
  auto runClient = [&](BatchSlot& slot, const std::string& told, bool checkWhileRunning,
                       bool logsItself, HostStore& workerStore, const BatchWorker::Words& words) {
    ToldClient client;
    // Not told what it can run: the client ends without a row (not run).
    if (!Hear(told, &client)) return;
    const DataSetListing& set = client.set;
    const std::string& folder = client.folder;
    const std::string& windowsFolder = client.windowsFolder;
    ClientJob job;
    job.set = set;
    job.conditions.savedValues = options.savedValues;
    job.conditions.startMonth =
        options.startMonth != 0 ? options.startMonth : Month(set.periodStart);
    job.conditions.endMonth = options.endMonth != 0 ? options.endMonth : Month(set.periodEnd);
    job.conditions.windowsPath =
        windowsFolder + (windowsFolder.back() == '\\' ? "" : "\\") + set.dataId + ".xml";
    job.conditions.overwrite = options.overwrite;
    job.folder = folder;
    job.workFolder = work;
    job.slot = slot.number;
    job.windowFd = slot.window;
    job.windowHandle = windowHandle;
    job.home = home;
    job.user = client.user;
    job.edition = client.edition;
    job.program = options.program;
    job.findings = options.findings;
    job.checkWhileRunning = checkWhileRunning;
    job.resultFd = slot.resultFd;
    job.runLogFd = slot.runLogFd;
    job.batchPid = slot.batchPid;
    job.logsItself = logsItself;
    // The report's schema and the sheet's rows: made beside the worker's
    // first program, kept for its later clients (the flag is the worker's
    // own copy of the slot).
    job.prepareSheet = !slot.sheetReady;
    slot.sheetReady = true;
    job.store = &workerStore;
    job.arrival = &slot.arrival;
    bool rowWritten = false;
    auto writeRow = [&](const ClientResult& result) {
      if (rowWritten) return;
      rowWritten = true;
      if (job.resultFd >= 0) {
        WriteWholeDescriptor(job.resultFd, BatchIndex::CsvText({result}));
      } else {
        std::ofstream(job.WorkPath(".result.csv"), std::ios::binary)
            << BatchIndex::CsvText({result});
      }
    };
    job.rowReady = [&](const ClientResult& result) {
      writeRow(result);
      words.ended();
    };
    job.lateEntry = [&](const RunLogEntry& entry) {
      return words.late(BatchRunLog::Text(entry));
    };
    writeRow(RunClient(job));
  };
  // A new slot with its worker; null when the worker cannot be started.
  auto newSlot = [&](bool quiet = false) -> BatchSlot* {
    // No connection of this process is carried into the worker.
    logStore.Close();
    logStoreTried = false;
    auto slot = std::make_unique<BatchSlot>();
    slot->number = static_cast<int>(slots.size());
    slot->batchPid = static_cast<int>(::getpid());
    // The slot's window socket, bound once for all its clients (a socket
    // made and removed per client is slow on some file systems); without
    // one, each launch binds its own.
    ClientJob names;
    names.workFolder = work;
    names.slot = slot->number;
    const std::string windowFolder = names.WindowFolder();
    std::string ignored;
    slot->window = ::mkdir(windowFolder.c_str(), 0700) == 0
                       ? BindWindowSocket(windowFolder, windowHandle, &ignored)
                       : -1;
    slot->resultFd = MemoryFile("mvhost-client-result");
    slot->runLogFd = MemoryFile("mvhost-client-run-log");
    std::vector<int> others;
    for (const auto& other : slots) {
      if (other->worker.channel() >= 0) others.push_back(other->worker.channel());
    }
    BatchSlot* made = slot.get();
    const bool started = made->worker.Start(
        [&runClient, made](size_t, const std::string& told, bool checkWhileRunning,
                           bool logsItself, HostStore& workerStore,
                           const BatchWorker::Words& words) {
          runClient(*made, told, checkWhileRunning, logsItself, workerStore, words);
        },
        others);
    if (!started) {
      if (!quiet) std::cerr << "mvhost: cannot start a run: " << std::strerror(errno) << "\n";
      return nullptr;
    }
    slots.push_back(std::move(slot));
    return made;
  };
  // Without it, the first client starts a worker as the others do.
  newSlot(true);

  HostStore store;
  std::string error;
  if (!store.Open(home, &error)) return Refuse(error);
  // The listing, the users and the state entries are read in one read
  // transaction: one lock cycle (and hot-journal look) instead of four.
  std::optional<ReadScope> listing(std::in_place, store.db());
  std::vector<DataSetListing> sets;
  // Only the named data sets are read (a home may hold hundreds).
  if (!ListDataSets(store.db(), &sets, &error, LineCounts::kNotCounted,
                    options.all ? nullptr : &options.dataNos)) {
    return Refuse(error);
  }
  std::vector<DataSetListing> chosen;
  if (options.all) {
    chosen = sets;
  } else {
    for (int32_t dataNo : options.dataNos) {
      auto found = std::find_if(sets.begin(), sets.end(),
                                [&](const DataSetListing& s) { return s.dataNo == dataNo; });
      if (found == sets.end()) return UsageError("no data set " + std::to_string(dataNo), "batch");
      if (std::none_of(chosen.begin(), chosen.end(),
                       [&](const DataSetListing& s) { return s.dataNo == dataNo; })) {
        chosen.push_back(*found);
      }
    }
  }

  // The user the runs act for: the batch's own MVHOST_USER, else the
  // home's current user, which the batch reads and never writes.
  std::string user;
  const char* runUser = std::getenv("MVHOST_USER");
  if (runUser != nullptr && *runUser != '\0') {
    user = runUser;
  } else {
    std::optional<std::string> current;
    if (!ReadStateEntry(store.db(), "current_user", &current, &error)) return Refuse(error);
    if (!current) {
      return Refuse(
          "the home has no current user for the runs to act for (mvhost state "
          "current_user USER, or MVHOST_USER)");
    }
    user = *current;
  }
  std::vector<UserListing> users;
  if (!ListUsers(store.db(), &users, &error)) return Refuse(error);
  if (std::none_of(users.begin(), users.end(),
                   [&](const UserListing& u) { return u.userId == user; })) {
    return Refuse("no user " + user + " in the store; mvhost select USER DATA-NUMBER adds one");
  }
  const std::string edition = EditionOf(options, store);
  listing.reset();
  store.Close();

  std::error_code failed;
  std::filesystem::create_directories(options.out, failed);
  std::filesystem::path folderPath = std::filesystem::canonical(options.out, failed);
  if (failed) return Refuse("cannot make the folder " + options.out + ": " + failed.message());
  const std::string folder = folderPath.string();
  const std::string windowsFolder = platform::PosixToWindowsUtf8(folder);
  if (windowsFolder.empty()) {
    return UsageError(
        "--out " + options.out + " is on no mapped drive (" + platform::DriveMapSetting() + ")",
        "batch");
  }


  BatchIndex index(folder);
  const std::vector<ClientResult> before =
      options.resume ? index.Read() : std::vector<ClientResult>();
  const int cores = std::max(1, static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)));
  const int jobs = options.jobs > 0 ? options.jobs : cores;
  BatchProgress progress(stdout, ::isatty(STDOUT_FILENO) == 1, static_cast<int>(chosen.size()));
  StopSignals signals;
  size_t next = 0;
  int notWritten = 0;
  int finished = 0;
  bool indexFailed = false;
  // Rows of clients that ended, not yet in the index: they go in once the
  // slots they freed run clients again, so no core waits for the index.
  std::vector<ClientResult> ended;
  // Entries of the runs for the run log, written with the index.
  BatchRunLog runLog;
  auto lastWrite = std::chrono::steady_clock::now() - kWriteInterval;
  bool told = false;
  int busy = 0;

  auto record = [&](const ClientResult& result, bool skipped) {
    ++finished;
    if (result.status != "written") ++notWritten;
    if (!skipped) ended.push_back(result);
    progress.Ended(result, skipped);
  };
  auto writeIndex = [&] {
    if (ended.empty()) return;
    if (!index.Merge(ended, &error)) {
      indexFailed = true;
      std::cerr << "mvhost: " << error << "\n";
    }
    ended.clear();
  };
  auto pending = [&] { return !ended.empty() || !runLog.empty(); };
  // The index and the run log, when the interval has passed or `now`.
  auto writeOut = [&](bool now) {
    if (!pending() ||
        (!now && std::chrono::steady_clock::now() - lastWrite < kWriteInterval)) {
      return;
    }
    // Entries that cannot be written now are kept for the next write. The
    // run log's commit waits for its syncs to the disk: it goes on a thread
    // of its own while the index is written (no other store is in use in
    // this process meanwhile, and no worker is forked before the join).
    std::string logError;
    bool logged = true;
    auto writeLog = [&] {
      logged = runLog.Write(home, &logError, logStore.db() != nullptr ? &logStore : nullptr);
    };
    std::thread logWrite;
    if (!runLog.empty()) {
      try {
        logWrite = std::thread(writeLog);
      } catch (const std::system_error&) {
        writeLog();  // no thread to be had: one after the other
      }
    }
    writeIndex();
    if (logWrite.joinable()) logWrite.join();
    if (!logged && now) {
      std::cerr << "mvhost: warning: runs are not in the run log: " << logError << "\n";
    }
    lastWrite = std::chrono::steady_clock::now();
  };

  // The row and run log entry a slot's client left, read once it ended.
  auto collect = [&](BatchSlot& slot) {
    if (slot.runLogFd >= 0) {
      RunLogEntry entry;
      if (BatchRunLog::Parse(ReadWholeDescriptor(slot.runLogFd), &entry)) {
        runLog.Add(std::move(entry));
      }
    }
    ClientJob names;
    names.workFolder = work;
    names.slot = slot.number;
    std::vector<ClientResult> rows = BatchIndex::ParseCsv(
        slot.resultFd >= 0 ? ReadWholeDescriptor(slot.resultFd)
                           : ReadWholeFile(names.WorkPath(".result.csv")));
    slot.Clear();
    // A run ended before it could say how (killed) is not in the index and
    // counts as not run.
    if (rows.size() == 1) record(rows[0], false);
  };

  while (stopSignal == 0 || busy > 0) {
    while (stopSignal == 0 && next < chosen.size() && busy < jobs) {
      const size_t i = next++;
      ClientResult earlier;
      if (options.resume && WrittenBefore(chosen[i], folder, before, &earlier)) {
        record(earlier, true);
        continue;
      }
      BatchSlot* slot = nullptr;
      for (const auto& candidate : slots) {
        if (!candidate->busy && !candidate->retired) {
          slot = candidate.get();
          break;
        }
      }
      bool fresh = false;
      if (slot == nullptr) {
        slot = newSlot();
        fresh = true;
      }
      // The check goes beside the program when this client leaves a core
      // free: one client on two cores, never -j 2 on two. The last client,
      // with none other running and every earlier entry written, may write
      // its run log entry itself: none can come after it.
      const bool last = next == chosen.size();
      const bool logsItself = last && busy == 0 && runLog.empty();
      const std::string about = Tell({chosen[i], user, edition, folder, windowsFolder});
      if (slot == nullptr ||
          !slot->worker.Hand(i, busy + 1 < cores, last, logsItself, about)) {
        if (slot != nullptr) slot->Retire();
        if (slot == nullptr || fresh) {
          // No worker can be started: the clients not started are not run.
          if (slot != nullptr) std::cerr << "mvhost: cannot start a run: its worker ended\n";
          stopSignal = SIGTERM;
          break;
        }
        --next;  // the client goes to another slot
        continue;
      }
      slot->busy = true;
      slot->ending = last;
      slot->logsItself = logsItself;
      ++busy;
    }
    // A stop: the running runs are told once, then waited for.
    if (!told && (stopSignal == SIGTERM || stopSignal == SIGHUP)) {
      for (const auto& slot : slots) {
        if (slot->busy && slot->worker.pid() > 0) ::kill(slot->worker.pid(), SIGTERM);
      }
      told = true;
    }
    const auto working = std::count_if(slots.begin(), slots.end(),
                                       [](const auto& slot) { return !slot->retired; });
    // No entry is to come when the clients left write their own: the
    // store's open (its schema parsed) would only compete with them.
    const bool entriesToCome =
        !runLog.empty() || next < chosen.size() ||
        std::any_of(slots.begin(), slots.end(),
                    [](const auto& slot) { return slot->busy && !slot->logsItself; });
    if (!logStoreTried && busy > 0 && entriesToCome &&
        (working >= jobs || next == chosen.size() || stopSignal != 0)) {
      logStoreTried = true;
      std::string ignored;
      // Without it, each write opens the store as before.
      if (!logStore.Open(home, &ignored)) logStore.Close();
    }
    writeOut(busy == 0);
    if (busy == 0) break;
    // Waits for a worker's word or end, or for the time to write the rows.
    std::vector<pollfd> words;
    std::vector<BatchSlot*> busySlots;
    for (const auto& slot : slots) {
      if (slot->busy) {
        words.push_back({slot->worker.channel(), POLLIN, 0});
        busySlots.push_back(slot.get());
      }
    }
    int wait = -1;
    if (pending()) {
      const auto waited = std::chrono::steady_clock::now() - lastWrite;
      wait = static_cast<int>(std::max<int64_t>(
          1, std::chrono::duration_cast<std::chrono::milliseconds>(kWriteInterval - waited)
                 .count()));
    }
    if (::poll(words.data(), words.size(), wait) <= 0) continue;
    for (size_t w = 0; w < words.size(); ++w) {
      if (words[w].revents == 0) continue;
      BatchSlot& slot = *busySlots[w];
      bool gone = false;
      if (!slot.worker.Ended(&gone) && !gone) continue;
      collect(slot);
      slot.busy = false;
      --busy;
      if (gone) slot.Retire();
    }
  }
  writeOut(true);
  // No client runs any more, so no worker uses the work folder: it goes
  // while the workers end.
  std::filesystem::remove_all(work, failed);
  // Every worker ends; one that wrote its client's entry itself hands it
  // over when that write failed after the client's row was taken. The
  // batch waits for their word, not for their processes' teardown.
  for (const auto& slot : slots) {
    if (!slot->ending && !slot->retired) slot->worker.Stop();
  }
  for (const auto& slot : slots) {
    if (slot->retired) continue;
    std::vector<std::string> late;
    slot->worker.AwaitDone(&late);
    for (const std::string& text : late) {
      RunLogEntry entry;
      if (BatchRunLog::Parse(text, &entry)) runLog.Add(std::move(entry));
    }
  }
  writeOut(true);
  slots.clear();
  progress.Finish();

  const int notRun = static_cast<int>(chosen.size()) - finished;
  std::cout << finished << " of " << chosen.size() << " clients: " << (finished - notWritten)
            << " written, " << notWritten << " refused or failed; index: " << index.HtmlPath()
            << "\n";
  if (notRun > 0) {
    std::cerr << "mvhost: the batch was stopped: " << notRun << " clients not run\n";
  }
  return notWritten > 0 || notRun > 0 || indexFailed ? 1 : 0;
}

}  // namespace mvhost
