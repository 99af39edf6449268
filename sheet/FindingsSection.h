#ifndef TAXLINK_SHEET_FINDINGSSECTION_H_
#define TAXLINK_SHEET_FINDINGSSECTION_H_

#include "sheet/FindingsFile.h"
#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// The section of the bookkeeping check's findings: what was checked, a
// count per rule and one row per finding listed; "no findings" said
// plainly, and a check that could not be made said as such.
Section FindingsSection(const CheckFindings& findings);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_FINDINGSSECTION_H_
