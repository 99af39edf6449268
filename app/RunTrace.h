#ifndef TAXLINK_APP_RUNTRACE_H_
#define TAXLINK_APP_RUNTRACE_H_

#include <memory>
#include <string>
#include <thread>

#include "app/RunOutcome.h"
#include "host/StDATAINFO.h"
#include "report/ReportInputs.h"
#include "trace/TraceFile.h"
#include "trace/TraceRecorder.h"

namespace taxlink {

// The trace a run writes beside its report when TAXLINK_TRACE names a file
// (a POSIX path; a relative one is taken from the folder the program was
// started in).
class RunTrace {
 public:
  // The trace the environment asks for, or null.
  static std::unique_ptr<RunTrace> FromEnvironment();

  // Before the aggregation: the recorder of a run by journals, and the
  // trace file begun (its line table filled as the run goes; a file that
  // cannot be begun is written whole at the end, or says why it cannot).
  RunOutcome Start(bool taxIncluded, const StDATAINFO& dataSet, const TraceRun& run);
  // The recorder, null before Start and in saved-return runs.
  TraceRecorder* recorder() { return recorder_.get(); }

  // After the report was written at reportPath: the trace file.
  RunOutcome Write(const ReportInputs& inputs, const StDATAINFO& dataSet, TraceRun run,
                   const char* reportPath);

 private:
  explicit RunTrace(std::string posixPath) : posixPath_(std::move(posixPath)) {}

  std::string posixPath_;
  std::unique_ptr<TraceFile> file_;  // made by Start or Write
  // Destroyed before the file: the line table's stream holds a copy of its
  // descriptor.
  std::unique_ptr<TraceRecorder> recorder_;
  // Destroys the recorder once the trace is in place: closing the spools'
  // file frees its pages, which the run need not wait for. Joined first
  // when the object goes.
  std::jthread releasing_;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_RUNTRACE_H_
