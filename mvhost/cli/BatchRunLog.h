#ifndef TAXLINK_MVHOST_CLI_BATCHRUNLOG_H_
#define TAXLINK_MVHOST_CLI_BATCHRUNLOG_H_

#include <string>
#include <string_view>
#include <vector>

#include "mvhost/lib/RunLog.h"

namespace mvhost {

class HostStore;

// The run log entries of a batch's clients, handed from each worker to the
// batch process and written there in groups: one commit per client would
// hold every other client's reads of the store off while it syncs.
class BatchRunLog {
 public:
  // An entry as one line of text for the hand-over, and back; Parse is
  // false for text that is not such a line.
  static std::string Text(const RunLogEntry& entry);
  static bool Parse(std::string_view text, RunLogEntry* entry);

  void Add(RunLogEntry entry) { entries_.push_back(std::move(entry)); }
  bool empty() const { return entries_.empty(); }

  // Appends the entries to the home's run log in one transaction and
  // forgets them; on a failure they are kept for the next Write.
  // `open`, when given, is a connection to the home to use instead of one
  // made for this write (an SQLite connection must not be open across a
  // fork, so the batch holds one only once it forks no more workers).
  bool Write(const std::string& home, std::string* error, HostStore* open = nullptr);

 private:
  std::vector<RunLogEntry> entries_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHRUNLOG_H_
