#ifndef TAXLINK_SHEET_SHEETROWS_H_
#define TAXLINK_SHEET_SHEETROWS_H_

#include <string>
#include <string_view>
#include <vector>

#include "report/ReportFormat.h"
#include "sheet/ReportContent.h"
#include "sheet/SheetModel.h"

namespace taxlink::sheet {

// The rows of the sheet's tables as the format table has them; shared by
// the single and the compare sheet.

// One row of a form topic: the element under its rate-less name, with the
// group and element names per rate (empty where the rate has no element).
struct TopicRow {
  std::string key;  // "D02011/KAZEIURIAGEZEINUKI"
  std::string label;
  std::string group[kRateGroups];
  std::string element[kRateGroups];
};

// A form topic: its title, the range of its groups ("D020110～D020112")
// and its rows.
struct TopicRows {
  std::string stem;  // "D02011"
  std::string title;
  std::string groups;
  std::vector<TopicRow> rows;
};

// Every form topic's rows, made from the format tables once per process (a
// batch makes them before it forks its workers).
const std::vector<TopicRows>& AllTopicRows();

// A refund statement's line (its "1" and "2" elements) or code element.
struct StatementRow {
  std::string key;  // "KANPUH/SHOHINSHIIRE", "KANPUH/KESSANZEIKUBUN"
  std::string label;
  std::string element[2];  // the "1" and "2" elements; a code: element[0]
  bool code = false;
};

std::vector<StatementRow> StatementRows(const GroupFormat& statement);

// The text of a cell of an amount: grouped, negative marked.
Cell AmountCell(std::string_view text);
// The cell of an element a rate does not have.
Cell AbsentCell();

// A code with its meaning, "原則課税（1）"; the text itself when it has
// none, and "—" when empty.
std::string CodeText(std::string_view element, std::string_view code);
// yyyymmdd as "2014/04/01"; any other text unchanged.
std::string DateText(std::string_view yyyymmdd);

// Whether a topic row or a statement row has a value in the report.
bool HasValue(const ReportContent& report, const TopicRow& row);
bool HasValue(const ReportContent& report, const std::string& statement, const StatementRow& row);

// The company names of two reports differ.
bool DifferentCompanies(const ReportContent& a, const ReportContent& b);

// "N 行" notes of folded rows.
std::string FoldedRowsNote(int rows);

// The footer: the program and its version.
std::string SheetFooter();

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_SHEETROWS_H_
