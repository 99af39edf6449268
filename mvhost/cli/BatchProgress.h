#ifndef TAXLINK_MVHOST_CLI_BATCHPROGRESS_H_
#define TAXLINK_MVHOST_CLI_BATCHPROGRESS_H_

#include <chrono>
#include <cstdio>

#include "mvhost/cli/ClientResult.h"

namespace mvhost {

// What a batch shows while it runs: on a terminal one bar, redrawn as
// clients end (clients done, failed, elapsed and remaining time); otherwise
// one line per client.
class BatchProgress {
 public:
  BatchProgress(FILE* out, bool terminal, int total);

  // A client ended; skipped: --resume left it as it was.
  void Ended(const ClientResult& result, bool skipped);
  // Ends the bar's line.
  void Finish();

 private:
  void DrawBar();

  FILE* out_;
  bool terminal_;
  int total_;
  int done_ = 0;
  int notWritten_ = 0;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHPROGRESS_H_
