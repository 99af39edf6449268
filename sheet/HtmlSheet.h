#ifndef TAXLINK_SHEET_HTMLSHEET_H_
#define TAXLINK_SHEET_HTMLSHEET_H_

#include <string>
#include <string_view>

#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// A sheet as one self-contained HTML document (UTF-8, styles inline, no
// scripts or outside resources) that prints on A4: portrait, or landscape
// for a sheet with landscape set. The same text feeds the PDF renderer.
std::string RenderHtml(const Sheet& sheet);

// Text with &, <, > and " escaped.
std::string EscapeHtml(std::string_view text);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_HTMLSHEET_H_
