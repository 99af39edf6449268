#ifndef TAXLINK_SHEET_ELEMENTLABELS_H_
#define TAXLINK_SHEET_ELEMENTLABELS_H_

#include <span>
#include <string_view>

namespace taxlink::sheet {

// The Japanese labels of the report's elements as they stand on the return
// and the refund statement (UTF-8). Form-group elements are keyed by their
// name without the rate digit ("KAZEIURIAGEZEINUKI"), the elements of
// SYSTEM, BASIC, KANPUH and KANPUK by their name; the refund statements'
// "1"/"2" elements share the label of their line and differ in the column.

struct ElementLabel {
  const char* key;
  const char* label;
};

// The label of a key; null when the table has none.
const char* LabelOf(std::string_view key);

// The label of a report element of a group: the form groups look up the
// name without its rate digit. Null when the table has none.
const char* LabelOfElement(std::string_view group, std::string_view element);

// The title of a form topic by its code stem ("D02011"); of SYSTEM, BASIC,
// KANPUH and KANPUK by their name. Null when unknown.
const char* GroupTitle(std::string_view group);

// The meaning of a code element's text ("1" or "2"), e.g. KAZEIKUBUN "1":
// "原則課税"; null for an element without codes or a text that is none.
const char* CodeMeaning(std::string_view element, std::string_view code);

// The column of a refund statement element: its name ends in "1" (the
// book amount) or "2" (the part that is not a taxable purchase).
const char* StatementColumnTitle(int column);

// Every key of the label table, for the tests and the element catalog.
std::span<const ElementLabel> AllLabels();

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_ELEMENTLABELS_H_
