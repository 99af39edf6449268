#ifndef TAXLINK_SHEET_REPORTREADER_H_
#define TAXLINK_SHEET_REPORTREADER_H_

#include <string>
#include <string_view>

#include "sheet/ReportContent.h"

namespace taxlink::sheet {

// Why a file is not a report: the line (0 when none applies) and what was
// found against what was expected.
struct ReportProblem {
  int line = 0;
  std::string message;

  // "line N: MESSAGE", or the message alone without a line.
  std::string Text() const;
};

// Compiles what reading a report needs once per process (the report's
// schema) now: a process that forks a reader per report calls it before
// forking, so that no reader compiles it again.
void PrepareReportReading();

// Parses the bytes of a report file and validates them against the
// report's schema (report/ReportSchema.h). The file must declare Shift_JIS;
// its text is read as code page 932, the form the program writes, and held
// as UTF-8. A document type declaration is refused: a report has none, and
// its entities would be expanded into the sheet. True with *content filled,
// or false with the first problem.
bool ParseReport(std::string_view bytes, ReportContent* content, ReportProblem* problem);

// The same for a file; a file that cannot be read is a problem without a
// line.
bool ReadReportFile(const std::string& path, ReportContent* content, ReportProblem* problem);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_REPORTREADER_H_
