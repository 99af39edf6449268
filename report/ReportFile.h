#ifndef TAXLINK_REPORT_REPORTFILE_H_
#define TAXLINK_REPORT_REPORTFILE_H_

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "platform/WinTypes.h"
#include "report/ReportInputs.h"

namespace taxlink {

class ReportDocument;

enum class ReportOutcome {
  kWritten,    // the file is complete (sections the user let pass included)
  kAbandoned,  // the user answered No after a failed section
  kFileFailed  // the file could not be created or a write to it failed
};

// Message texts of the report file sequence.
extern const char kSystemSectionFailed[];
extern const char kBasicSectionFailed[];
extern const char kDataSectionFailed[];
extern const char kReportFileNotCreated[];   // "%s": the output path
extern const char kReportFileWriteFailed[];  // "%s": the output path

// Writes the report file at outputPath: the declaration, REPORT with SYSTEM,
// BASIC and DATA, each failed section followed by a Yes/No question to the
// user (owner's message box, caption "消費税"). settings: the company's
// consumption-tax settings for DATA from the aggregation; null for DATA
// from the saved return.
//
// The lines go to a temporary file in the output folder, which replaces the
// file at outputPath only when the sequence ends (kWritten, or kAbandoned
// with every line on disk). Otherwise, and when an exception leaves the
// sequence, the old file stays as it was and the temporary is deleted.
//
// kAbandoned: the user answered No; the partial file ends with </REPORT>.
// kFileFailed: the file could not be created or a write failed; the user
// has been told so, naming the path. The caller sets runResult for both.
ReportOutcome WriteReportFile(const ReportInputs& inputs, HWND owner, const char* outputPath,
                              const StDATAINFO& dataSet, const StSHOHIZEIINFO* settings);

// The same with given section writers (tests, other hosts).
ReportOutcome WriteReportFile(ReportDocument& document, HWND owner, const char* outputPath,
                              const StDATAINFO& dataSet, const StSHOHIZEIINFO* settings);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTFILE_H_
