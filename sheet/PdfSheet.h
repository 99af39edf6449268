#ifndef TAXLINK_SHEET_PDFSHEET_H_
#define TAXLINK_SHEET_PDFSHEET_H_

#include <string>

namespace taxlink::sheet {

// Renders the sheet's HTML to a PDF of A4 pages (landscape when asked) with
// Qt's text layout, in IPAGothic, which the PDF embeds. Runs Qt on its
// offscreen platform unless QT_QPA_PLATFORM names another. False with a
// message when the file cannot be written.
bool WritePdf(const std::string& html, bool landscape, const std::string& path, std::string* error);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_PDFSHEET_H_
