#ifndef TAXLINK_MVHOST_CLI_BATCHSLOT_H_
#define TAXLINK_MVHOST_CLI_BATCHSLOT_H_

#include "mvhost/cli/BatchWorker.h"
#include "mvhost/cli/ReportArrival.h"

namespace mvhost {

// One worker slot of a batch: its worker process, the window socket its
// clients' programs post to, and the memory files in which each client
// leaves its index row and run log entry for the batch process.
class BatchSlot {
 public:
  BatchSlot() = default;
  ~BatchSlot();
  BatchSlot(const BatchSlot&) = delete;
  BatchSlot& operator=(const BatchSlot&) = delete;

  // Empties the memory files for the slot's next client.
  void Clear();
  // The worker ended abnormally (or cannot be reached): the slot runs no
  // more clients.
  void Retire();

  int number = 0;
  int batchPid = 0;
  int window = -1;    // the bound window socket, or -1
  int resultFd = -1;  // -1: the work folder's result file
  int runLogFd = -1;  // -1: the worker writes the run log itself
  bool busy = false;
  bool retired = false;
  // The worker was handed its last client and ends after it.
  bool ending = false;
  // The running client writes its own run log entry.
  bool logsItself = false;
  // In the worker: the report's schema and the sheet's rows are made.
  bool sheetReady = false;
  // In the worker: its watch for its clients' reports.
  ReportArrival arrival;
  BatchWorker worker;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHSLOT_H_
