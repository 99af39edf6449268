#ifndef TAXLINK_SHEET_ELEMENTCATALOG_H_
#define TAXLINK_SHEET_ELEMENTCATALOG_H_

#include <string>

namespace taxlink::sheet {

// docs/report-elements.md: every element of the report with its label,
// group, rates and sources, made from the format table and the labels.
std::string ElementCatalogMarkdown();

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_ELEMENTCATALOG_H_
