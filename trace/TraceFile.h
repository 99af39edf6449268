#ifndef TAXLINK_TRACE_TRACEFILE_H_
#define TAXLINK_TRACE_TRACEFILE_H_

#include <string>

#include "host/StDATAINFO.h"
#include "report/ReportInputs.h"
#include "status/Status.h"

namespace taxlink {

class TraceRecorder;

// What the trace's header says of the run besides the data set.
struct TraceRun {
  int startMonth = 0;  // calendar months of the run
  int endMonth = 0;
  bool savedReturn = false;  // figures from the saved return, not the journals
  std::string user;          // Shift_JIS, as the host gives it
  std::string time;          // UTC, "2026-12-08T19:45:00Z"
};

// Writes the trace of a run whose report was written at reportPath (a
// Windows path) to tracePath (a Windows path), replacing the file whole:
// the header, then one entry per amount element of DATA, KANPUH and KANPUK
// that the report holds non-empty, with its contributions from the
// recorder (a run by journals, with the table of the lines they name) or
// from the saved return. IOError naming the file when
// the report cannot be read or the trace cannot be written.
Status WriteTraceFile(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
                      const TraceRecorder* recorder, const std::string& reportPath,
                      const std::string& tracePath);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACEFILE_H_
