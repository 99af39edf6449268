#ifndef TAXLINK_SHEET_COMPARESHEET_H_
#define TAXLINK_SHEET_COMPARESHEET_H_

#include "sheet/FileFacts.h"
#include "sheet/ReportContent.h"
#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// The sheet of two reports (a run after a correction, last year against
// this year): every value of both with, per rate, the earlier figure, this
// one and the difference; a row whose texts differ in any column is marked
// and counted. Rows empty in both reports are folded away. A4 landscape.
Sheet BuildCompareSheet(const ReportContent& earlier, const FileFacts& earlierFile,
                        const ReportContent& report, const FileFacts& file);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_COMPARESHEET_H_
