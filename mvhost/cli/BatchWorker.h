#ifndef TAXLINK_MVHOST_CLI_BATCHWORKER_H_
#define TAXLINK_MVHOST_CLI_BATCHWORKER_H_

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "mvhost/lib/HostStore.h"

namespace mvhost {

// The worker process of one batch slot: forked once, it runs the clients
// the batch hands it one after another and keeps one connection to the
// store for all of them (opening one parses the store's whole schema), made
// in the worker itself, never carried across a fork.
class BatchWorker {
 public:
  // What a client's run may tell the batch before it returns.
  struct Words {
    // The client's row is in the slot's result file: the batch may take it
    // while the worker still finishes its own run log write. Said once;
    // the worker says it after the run when the run did not.
    std::function<void()> ended;
    // An entry (BatchRunLog::Text) the worker could not write after it
    // said the client ended; false when the batch cannot be told.
    std::function<bool(const std::string& entry)> late;
  };

  // Runs one client in the worker: its index in the batch's list, what the
  // batch told about it (the worker may be forked before the batch knows
  // its clients), whether a core is free for its check, whether it may
  // write its run log entry itself (ClientJob::logsItself), the worker's
  // connection (opened by whoever first needs it) and its words to the
  // batch.
  using Run = std::function<void(size_t client, const std::string& told, bool checkWhileRunning,
                                 bool logsItself, HostStore& store, const Words& words)>;

  BatchWorker() = default;
  ~BatchWorker();
  BatchWorker(const BatchWorker&) = delete;
  BatchWorker& operator=(const BatchWorker&) = delete;

  // Forks the worker; closeInWorker are descriptors of the batch the worker
  // must not hold (other workers' channels, whose end it would keep open).
  // False, with errno, when it cannot.
  bool Start(const Run& run, const std::vector<int>& closeInWorker);

  // Hands the worker a client (`last`: no other follows, the worker ends
  // after it); false when the worker is gone.
  bool Hand(size_t client, bool checkWhileRunning, bool last, bool logsItself = false,
            const std::string& told = std::string());

  // Once the channel is readable: true when the worker said its client
  // ended, false when the worker itself ended (reaped here) or has not
  // said anything yet (`gone` tells which).
  bool Ended(bool* gone);

  // Tells an idle worker that no client follows (it then ends, saying so).
  void Stop();

  // After the worker's last client ended, or Stop: waits until the worker says it
  // is done (its store closed, nothing more to write; its process may still
  // be ending) or ends, and adds the entries it handed late to `late`.
  void AwaitDone(std::vector<std::string>* late);

  // Closes the channel (an idle worker then ends) and waits for the
  // worker's end; a worker that said it is done is not waited for (its
  // exit only frees its memory).
  void Finish();

  int channel() const { return channel_; }
  pid_t pid() const { return pid_; }

 private:
  [[noreturn]] static void Serve(int channel, const Run& run);
  void Reap();

  int channel_ = -1;
  pid_t pid_ = -1;
  bool done_ = false;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHWORKER_H_
