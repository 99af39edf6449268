#ifndef TAXLINK_SHEET_TRACEDRILLDOWN_H_
#define TAXLINK_SHEET_TRACEDRILLDOWN_H_

#include <string>

#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// Lines of a figure shown on the sheet; the rest are in its linked file.
inline constexpr int kTrailLinesShown = 200;
// Rows of a figure's linked file: the file names the figure's entry in the
// trace for the rest, so that a sheet of a big run stays a readable size.
inline constexpr int kFullListRows = 2000;

// `taxlink-sheet --trace`: reads the trace of the report (docs/trace.md)
// as a stream and adds to the sheet, per traced figure, a section that
// opens on its contributions (totals by tax class and by month, then the
// first lines), and links the figure's cells in the sheet's tables to it.
// A figure with more lines gets the full list in a file of its own in the
// folder "<sheet stem>.trace" beside the sheet (its first kFullListRows
// contributions, then where the rest are). False with the message when
// the trace cannot be read, is not a trace, or is the trace of another
// report (its SHA-256 is not reportSha256).
bool AddTraceDrillDown(Sheet* sheet, const std::string& tracePath, const std::string& reportSha256,
                       const std::string& sheetPath, std::string* error);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_TRACEDRILLDOWN_H_
