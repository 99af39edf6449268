#ifndef TAXLINK_TRACE_TRACEFILE_H_
#define TAXLINK_TRACE_TRACEFILE_H_

#include <string>
#include <thread>

#include "host/StDATAINFO.h"
#include "platform/winfs/File.h"
#include "platform/winfs/ReplacementFile.h"
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

// The trace of a run: the file at tracePath (a Windows path), replaced
// whole. Begun when the run starts, it holds its temporary open so that the
// line table goes straight into it as the run makes it (the recorder writes
// there); Write then adds the rest once the report is written, and fills in
// the header's SHA-256 of the report and time, left as placeholders of their
// fixed width. A trace not begun is written whole by Write. A trace whose
// run ends without Write leaves no temporary.
class TraceFile {
 public:
  explicit TraceFile(std::string tracePath);

  // Opens the temporary and writes the document up to the line table's
  // rows. False when the file cannot be replaced or is a device or a pipe
  // (it cannot be written out of order): the trace is then written whole
  // by Write, which says why it fails.
  bool Begin(const StDATAINFO& dataSet, const TraceRun& run);
  // The descriptor the line table's rows go to, -1 when not begun.
  int lineTableDescriptor() const { return begun_ ? file_.Descriptor() : -1; }

  // After the report was written at reportPath (a Windows path): one entry
  // per amount element of DATA, KANPUH and KANPUK that the report holds
  // non-empty, with its contributions from the recorder (a run by journals,
  // with the table of the lines they name) or from the saved return; then
  // the trace replaces the file. run.time must be "YYYY-MM-DDTHH:MM:SSZ"
  // when begun. IOError naming the file when the report cannot be read or
  // the trace cannot be written.
  Status Write(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
               TraceRecorder* recorder, const std::string& reportPath);

 private:
  std::string path_;
  platform::ReplacementFile replacement_;
  platform::File file_;
  bool begun_ = false;
  // Where the placeholders of the header stand in the file.
  uint64_t sha256Offset_ = 0;
  uint64_t timeOffset_ = 0;
  // Closes the trace it replaced, whose blocks are freed then, while the
  // run goes on to its end; joined when the object goes.
  std::jthread releasing_;
};

// A trace written whole after the run (TraceFile::Write without Begin).
Status WriteTraceFile(const ReportInputs& inputs, const StDATAINFO& dataSet, const TraceRun& run,
                      TraceRecorder* recorder, const std::string& reportPath,
                      const std::string& tracePath);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACEFILE_H_
