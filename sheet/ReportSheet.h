#ifndef TAXLINK_SHEET_REPORTSHEET_H_
#define TAXLINK_SHEET_REPORTSHEET_H_

#include <string>

#include "sheet/FileFacts.h"
#include "sheet/FindingsFile.h"
#include "sheet/ReportContent.h"
#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// The bytes of a file the sheet is made from; false with
// "PATH: cannot be read: ...".
bool ReadSheetInput(const std::string& path, std::string* bytes, std::string* error);

// Beside the report: its name with ".xml" (any case) replaced by
// `extension`, else with `extension` added.
std::string DefaultSheetPath(const std::string& report, const std::string& extension);

// Writes the whole text to a temporary beside path and renames it over
// path, so that a failed write leaves no half sheet.
bool WriteSheetFile(const std::string& path, const std::string& text, std::string* error);

// The findings right after the header (before the figures they may have
// changed) and, with a trace, the drill-down of each figure into the lines
// behind it; false with the message when the trace does not fit.
bool AddFindingsAndTrace(Sheet* sheet, const CheckFindings* findings, const std::string& trace,
                         const std::string& reportSha256, const std::string& output,
                         std::string* error);

// The check sheet of one report, read, validated and described once: what
// `taxlink-sheet [--findings F] [--trace T] REPORT` writes, for a caller
// that already holds the findings. `content` and `facts` get the report as
// read (a caller reuses them instead of reading the file again).
struct ReportSheet {
  std::string reportPath;
  const CheckFindings* findings = nullptr;  // null: no findings section
  std::string trace;                        // empty: no drill-down
  // Set by a caller that has read the report already: its bytes and their
  // SHA-256, used instead of reading and hashing the file again.
  const std::string* reportBytes = nullptr;
  std::string reportSha256;

  ReportContent content;
  FileFacts facts;
  int64_t reportSize = 0;
  std::string html;       // the sheet made
  std::string sheetPath;  // the sheet written, beside the report

  // Make and WriteMade; false with the message, as taxlink-sheet would
  // print it.
  bool Write(std::string* error);
  // Reads (unless given), validates and describes the report and makes the
  // sheet's page, writing nothing: a caller may make it before it knows
  // whether the sheet is wanted.
  bool Make(std::string* error);
  // Writes the page Make made beside the report.
  bool WriteMade(std::string* error);
};

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_REPORTSHEET_H_
