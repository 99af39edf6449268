#ifndef TAXLINK_SHEET_SHEETMODEL_H_
#define TAXLINK_SHEET_SHEETMODEL_H_

#include <string>
#include <utility>
#include <vector>

namespace taxlink::sheet {

// A check sheet as data: sections of tables that the renderers (HTML, PDF)
// draw without knowing what the rows mean. The builders of the single and
// the compare sheet decide the content; further sections (findings, a
// figure's trail) are more sections. All text is UTF-8.

struct Cell {
  Cell() = default;
  Cell(std::string text_, std::string css_ = {}, int colspan_ = 1)
      : text(std::move(text_)), css(std::move(css_)), colspan(colspan_) {}

  std::string text;
  std::string css;  // "num", "num neg", "na", "mark", ... (empty: a label)
  int colspan = 1;
  std::string link;  // where the text leads: "#id" opens that section, else a file
};

struct Row {
  Row() = default;
  Row(std::string key_, std::vector<Cell> cells_, bool changed_ = false)
      : key(std::move(key_)), cells(std::move(cells_)), changed(changed_) {}

  std::string key;  // what the row shows: "D02011/KAZEIURIAGEZEINUKI", "BASIC/KAZEIKUBUN"
  std::vector<Cell> cells;
  bool changed = false;  // the compared reports differ on this row
};

struct Table {
  Table() = default;
  Table(std::string css_, std::vector<std::vector<Cell>> head_ = {}, std::vector<Row> rows_ = {},
        std::string note_ = {}, std::vector<int> widths_ = {})
      : css(std::move(css_)),
        head(std::move(head_)),
        rows(std::move(rows_)),
        note(std::move(note_)),
        widths(std::move(widths_)) {}

  std::string css;                      // "facts" or "figures"
  std::vector<std::vector<Cell>> head;  // header rows
  std::vector<Row> rows;
  std::string note;         // under the table: what was folded away
  std::vector<int> widths;  // of the columns in percent (none: as the content takes)
};

struct Section {
  Section() = default;
  Section(std::string id_, std::string title_, std::vector<std::string> notes_ = {},
          std::vector<Table> tables_ = {})
      : id(std::move(id_)),
        title(std::move(title_)),
        notes(std::move(notes_)),
        tables(std::move(tables_)) {}

  std::string id;  // "header", "D02011", "business-types", "KANPUH", "folded"
  std::string title;
  std::vector<std::string> notes;  // paragraphs before the tables
  std::vector<Table> tables;
  bool collapsible = false;  // shown closed under its title until opened
};

struct Sheet {
  std::string title;    // of the document
  std::string heading;  // the first heading
  bool landscape = false;
  std::vector<Section> sections;
  std::string footer;
};

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_SHEETMODEL_H_
