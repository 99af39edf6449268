#ifndef TAXLINK_SHEET_SHEETCOMMAND_H_
#define TAXLINK_SHEET_SHEETCOMMAND_H_

namespace taxlink::sheet {

// Exit statuses of taxlink-sheet.
constexpr int kSheetWritten = 0;
constexpr int kSheetRefused = 1;  // not a valid report, other companies, a write failed
constexpr int kSheetUsage = 2;    // a usage error, or --pdf without the desktop build

// The taxlink-sheet command line (docs/report.md, "The check sheet").
int RunSheetCommand(int argc, char** argv);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_SHEETCOMMAND_H_
