#ifndef TAXLINK_MVHOST_DERIVEDPROGRESS_H_
#define TAXLINK_MVHOST_DERIVEDPROGRESS_H_

#include <cstdint>

namespace mvhost {

// Where a rebuild of a data set's derived journal data stands.
struct RebuildProgress {
  int32_t dataNo = 0;
  int64_t done = 0;   // lines read so far (a line id)
  int64_t total = 0;  // the data set's last line id
  // Another process rebuilds them, and this one waits for it.
  bool waiting = false;
};

// Shows the progress of a rebuild that takes a while, and that a run waits
// for another process's rebuild.
class RebuildDisplay {
 public:
  virtual ~RebuildDisplay() = default;
  // Called as the rebuild (or the wait) goes on.
  virtual void Show(const RebuildProgress& progress) = 0;
  // The rebuild (or the wait) is over.
  virtual void Close() = 0;
};

// The display the host's rebuilds report to: the host's progress window
// (the program's front end shows it) unless another was set.
RebuildDisplay& CurrentRebuildDisplay();
// Sets the display (null: the host's window again); returns the one before.
RebuildDisplay* SetRebuildDisplay(RebuildDisplay* display);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDPROGRESS_H_
