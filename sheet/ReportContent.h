#ifndef TAXLINK_SHEET_REPORTCONTENT_H_
#define TAXLINK_SHEET_REPORTCONTENT_H_

#include <string>
#include <string_view>
#include <vector>

namespace taxlink::sheet {

// One value element of a report: its name and its text (UTF-8).
struct ReportElement {
  std::string name;
  std::string text;
};

// SYSTEM, BASIC, a form group or a refund statement, with its elements in
// file order.
struct ReportGroup {
  std::string name;
  std::vector<ReportElement> elements;
};

// The values of one report file that validated against the schema.
class ReportContent {
 public:
  std::vector<ReportGroup> groups;  // in file order

  // The group of that name, or null.
  const ReportGroup* Group(std::string_view name) const;
  // The text of an element of a group; empty when there is none.
  std::string Text(std::string_view group, std::string_view element) const;
};

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_REPORTCONTENT_H_
