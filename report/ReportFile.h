#ifndef TAXLINK_REPORT_REPORTFILE_H_
#define TAXLINK_REPORT_REPORTFILE_H_

#include "host/StDATAINFO.h"
#include "platform/text/WinTypes.h"
#include "report/ReportInputs.h"
#include "resources/Texts.h"
#include "status/Status.h"

namespace taxlink {

class ReportDocument;

// Where the DATA section's figures come from.
enum class ReportSource { kJournals, kSavedReturn };

// Message texts of the report file sequence.
using texts::kBasicSectionFailed;
using texts::kDataSectionFailed;
using texts::kReportFileNotCreated;   // "%s": the output path
using texts::kReportFileWriteFailed;  // "%s": the output path
using texts::kSystemSectionFailed;

// Writes the report file at outputPath: the declaration, REPORT with SYSTEM,
// BASIC and DATA, each failed section followed by a Yes/No question to the
// user (owner's message box, the program's caption). DATA comes from the
// aggregation tables with the run's consumption-tax settings, or from the
// saved return.
//
// The lines go to a temporary file in the output folder, which replaces the
// file at outputPath only when the sequence ends (ok, or abandoned with
// every line on disk). Otherwise, and when an exception leaves the sequence,
// the old file stays as it was and the temporary is deleted.
//
// Ok: the file is complete (sections the user let pass included).
// Abandoned: the user answered No; the partial file ends with </REPORT>.
// IOError: the file could not be created or a write failed; the user has
// been told so, naming the path.
Status WriteReportFile(const ReportInputs& inputs, HWND owner, const char* outputPath,
                       const StDATAINFO& dataSet, ReportSource source);

// The same with given section writers (tests, other hosts).
Status WriteReportFile(ReportDocument& document, HWND owner, const char* outputPath,
                       const StDATAINFO& dataSet, ReportSource source);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTFILE_H_
