#ifndef TAXLINK_SHEET_SINGLESHEET_H_
#define TAXLINK_SHEET_SINGLESHEET_H_

#include "sheet/FileFacts.h"
#include "sheet/ReportContent.h"
#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// The check sheet of one report: the header (company, period, settings,
// program, the file's hash and time), a table per form topic with the
// rates as columns, the business-type breakdown under simplified taxation
// and the refund statement. Rows and tables without a value are folded
// away and counted.
Sheet BuildSingleSheet(const ReportContent& report, const FileFacts& file);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_SINGLESHEET_H_
