#ifndef TAXLINK_MVHOST_CLI_CLIENTRUN_H_
#define TAXLINK_MVHOST_CLI_CLIENTRUN_H_

#include <cstdint>
#include <functional>
#include <string>

#include "mvhost/cli/BatchScript.h"
#include "mvhost/cli/ClientResult.h"
#include "mvhost/cli/ReportArrival.h"
#include "mvhost/cli/RunTranscript.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/RunLog.h"
#include "mvhost/lib/StoreAdmin.h"

namespace mvhost {

// One client of a batch: the data set, the conditions and where things go.
struct ClientJob {
  DataSetListing set;
  BatchRunConditions conditions;
  std::string folder;      // the batch's folder (POSIX, absolute)
  std::string workFolder;  // the batch's private files (script, transcript, log)
  // The worker slot the client runs in: its files in the work folder are
  // the slot's, rewritten by each client that runs there, so that a client
  // makes no new files there (a file made and removed per client is slow on
  // some file systems).
  int slot = 0;
  std::string home;
  std::string user;  // the user the run acts for
  std::string edition;
  std::string program;   // empty: the edition's program
  bool findings = true;  // the bookkeeping check's findings beside the report
  // A core is free for the check while the program runs (see
  // ConcurrentCheck); otherwise the check follows the program.
  bool checkWhileRunning = false;
  // Where the worker leaves its index row (a memory file of the batch's);
  // -1: the work folder's "<slot>.result.csv".
  int resultFd = -1;
  // Where the worker hands its run log entry to the batch process (a
  // memory file), which writes the entries in groups; -1, or a batch
  // process that is gone (not batchPid): the worker writes it.
  int runLogFd = -1;
  int batchPid = 0;
  // No other client's entry can follow this one's into the run log (the
  // batch's last client, none other running, none waiting to be written):
  // the worker may write its entry itself, in the commit that keeps the
  // findings its check could not keep while the program ran.
  bool logsItself = false;
  // When the worker writes its entry itself, on a thread of its own: the
  // row is handed to rowReady while that write ends, and an entry that
  // could not be written then to lateEntry (false: the batch cannot be
  // told). Empty: the row is only returned.
  std::function<void(const ClientResult&)> rowReady;
  std::function<bool(const RunLogEntry&)> lateEntry;
  // The batch had not made the report's schema and the sheet's rows when it
  // forked this worker: the worker makes them beside its program, off the
  // client's path.
  bool prepareSheet = false;
  // The worker's connection to the home, kept for its later clients; made
  // here when not open yet. Null: the client's checks open their own.
  HostStore* store = nullptr;
  // The worker's watch for reports renamed into place, kept for its later
  // clients. Null: the sheet starts when the program posts.
  ReportArrival* arrival = nullptr;

  std::string ReportName() const { return set.dataId + ".xml"; }
  std::string WorkPath(const char* suffix) const;
  // The slot's folder for the host window's socket, and the socket the
  // batch bound there for windowHandle (-1: each launch binds its own).
  std::string WindowFolder() const { return WorkPath(".window"); }
  int windowFd = -1;
  uint32_t windowHandle = 0;
};

// Runs one client in this process (the batch runs each in a process of its
// own): writes its UI script, launches the program as `mvhost launch
// --sheet` does, with MVHOST_USER, MVHOST_DATA_NO and the script in its
// environment and its output in the work folder's log, then reads the
// transcript, the report and the findings of the bookkeeping check into the
// client's index row.
ClientResult RunClient(const ClientJob& job);

// The status and message of a run from the launch's exit status, its
// transcript and its log (the launch's own messages).
void ClassifyRun(int launchStatus, const RunTranscript& run, const std::string& log,
                 ClientResult* result);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_CLIENTRUN_H_
