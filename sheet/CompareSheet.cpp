#include "sheet/CompareSheet.h"

#include "sheet/AmountText.h"
#include "sheet/ElementLabels.h"
#include "sheet/SheetRows.h"

namespace taxlink::sheet {

namespace {

constexpr char kMark[] = "●";

Cell MarkCell(bool changed) { return Cell{changed ? kMark : "", "mark"}; }

// The earlier value, this one and this minus the earlier.
void AppendAmounts(std::vector<Cell>& cells, const std::string& earlier, const std::string& now) {
  cells.push_back(AmountCell(earlier));
  cells.push_back(AmountCell(now));
  cells.push_back(AmountCell(AmountTextOf(AmountValue(now) - AmountValue(earlier))));
}

void AppendAbsent(std::vector<Cell>& cells) {
  for (int i = 0; i < 3; ++i) cells.push_back(AbsentCell());
}

std::vector<Cell> PairHead() { return {Cell{"前回"}, Cell{"今回"}, Cell{"差額"}}; }

// A compared value of SYSTEM or BASIC, codes spelled out.
Row ValueRow(const std::string& group, const ElementFormat& element, const ReportContent& earlier,
             const ReportContent& report) {
  const std::string a = earlier.Text(group, element.name);
  const std::string b = report.Text(group, element.name);
  auto shown = [&](const std::string& text) {
    if (element.name == "JIGYOUNENDOFROM" || element.name == "JIGYOUNENDOTO") {
      return DateText(text);
    }
    if (element.kind == ValueKind::kCode || element.kind == ValueKind::kCodeOrEmpty) {
      return CodeText(element.name, text);
    }
    return text;
  };
  const char* label = LabelOf(element.name);
  return Row{group + "/" + element.name,
             {MarkCell(a != b), Cell{label != nullptr ? label : element.name, "label"},
              Cell{shown(a)}, Cell{shown(b)}},
             a != b};
}

Row FileRow(const std::string& key, const char* label, const std::string& a, const std::string& b) {
  return Row{key, {MarkCell(false), Cell{label, "label"}, Cell{a}, Cell{b}}};
}

Section HeaderSection(const ReportContent& earlier, const FileFacts& earlierFile,
                      const ReportContent& report, const FileFacts& file) {
  Table facts{"facts", {{Cell{""}, Cell{"項目"}, Cell{"前回"}, Cell{"今回"}}}};
  facts.widths = {2, 24, 37, 37};
  for (const char* group : {"BASIC", "SYSTEM"}) {
    for (const ElementFormat& element : FindGroup(group)->elements) {
      facts.rows.push_back(ValueRow(group, element, earlier, report));
    }
  }
  facts.rows.push_back(FileRow("FILE/NAME", "ファイル", earlierFile.name, file.name));
  facts.rows.push_back(FileRow("FILE/SHA256", "SHA-256", earlierFile.sha256, file.sha256));
  facts.rows.push_back(FileRow("FILE/MODIFIED", "更新日時", earlierFile.modified, file.modified));
  return Section{"header", "", {}, {facts}};
}

void TopicSections(const ReportContent& earlier, const ReportContent& report,
                   std::vector<Section>& sections, std::vector<std::string>& folded) {
  for (const TopicRows& topic : AllTopicRows()) {
    std::vector<Cell> rates = {Cell{""}, Cell{""}};
    std::vector<Cell> columns = {Cell{""}, Cell{"項目"}};
    for (int rate = 0; rate < kRateGroups; ++rate) {
      rates.push_back(Cell{std::to_string(RatePercent(rate)) + " %", "", 3});
      for (Cell& c : PairHead()) columns.push_back(c);
    }
    Table table{"figures", {rates, columns}};
    table.widths = {2, 26, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    int empty = 0;
    for (const TopicRow& row : topic.rows) {
      if (!HasValue(earlier, row) && !HasValue(report, row)) {
        ++empty;
        continue;
      }
      bool changed = false;
      std::vector<Cell> cells = {Cell{}, Cell{row.label, "label"}};
      for (int rate = 0; rate < kRateGroups; ++rate) {
        if (row.element[rate].empty()) {
          AppendAbsent(cells);
          continue;
        }
        const std::string a = earlier.Text(row.group[rate], row.element[rate]);
        const std::string b = report.Text(row.group[rate], row.element[rate]);
        changed = changed || a != b;
        AppendAmounts(cells, a, b);
      }
      cells[0] = MarkCell(changed);
      table.rows.push_back(Row{row.key, std::move(cells), changed});
    }
    if (table.rows.empty()) {
      folded.push_back(topic.title + "（" + topic.groups + "）");
      continue;
    }
    if (empty > 0) table.note = FoldedRowsNote(empty);
    sections.push_back(Section{topic.stem, topic.title + "（" + topic.groups + "）", {}, {table}});
  }
}

void StatementSections(const ReportContent& earlier, const ReportContent& report,
                       std::vector<Section>& sections, std::vector<std::string>& folded) {
  for (const GroupFormat* statement : {&KanpuhFormat(), &KanpukFormat()}) {
    const std::string& name = statement->name;
    Table codes{"facts", {{Cell{""}, Cell{"項目"}, Cell{"前回"}, Cell{"今回"}}}};
    codes.widths = {2, 24, 37, 37};
    std::vector<Cell> parts = {Cell{""}, Cell{""}, Cell{StatementColumnTitle(1), "", 3},
                               Cell{StatementColumnTitle(2), "", 3}};
    std::vector<Cell> columns = {Cell{""}, Cell{"項目"}};
    for (int i = 0; i < 2; ++i) {
      for (Cell& c : PairHead()) columns.push_back(c);
    }
    Table lines{"figures", {parts, columns}};
    lines.widths = {2, 26, 12, 12, 12, 12, 12, 12};
    int empty = 0;
    bool anyValue = false;
    for (const StatementRow& row : StatementRows(*statement)) {
      if (row.code) {
        const std::string a = earlier.Text(name, row.element[0]);
        const std::string b = report.Text(name, row.element[0]);
        codes.rows.push_back(
            Row{row.key,
                {MarkCell(a != b), Cell{row.label, "label"}, Cell{CodeText(row.element[0], a)},
                 Cell{CodeText(row.element[0], b)}},
                a != b});
        anyValue = anyValue || !a.empty() || !b.empty();
        continue;
      }
      if (!HasValue(earlier, name, row) && !HasValue(report, name, row)) {
        ++empty;
        continue;
      }
      anyValue = true;
      bool changed = false;
      std::vector<Cell> cells = {Cell{}, Cell{row.label, "label"}};
      for (const std::string& element : row.element) {
        if (element.empty()) {
          AppendAbsent(cells);
          continue;
        }
        const std::string a = earlier.Text(name, element);
        const std::string b = report.Text(name, element);
        changed = changed || a != b;
        AppendAmounts(cells, a, b);
      }
      cells[0] = MarkCell(changed);
      lines.rows.push_back(Row{row.key, std::move(cells), changed});
    }
    const std::string title = GroupTitle(name);
    if (!anyValue) {
      folded.push_back(title + "（" + name + "）");
      continue;
    }
    if (empty > 0) lines.note = FoldedRowsNote(empty);
    sections.push_back(Section{name, title + "（" + name + "）", {}, {codes, lines}});
  }
}

int ChangedRows(const Sheet& sheet) {
  int changed = 0;
  for (const Section& section : sheet.sections) {
    for (const Table& table : section.tables) {
      for (const Row& row : table.rows) changed += row.changed ? 1 : 0;
    }
  }
  return changed;
}

}  // namespace

Sheet BuildCompareSheet(const ReportContent& earlier, const FileFacts& earlierFile,
                        const ReportContent& report, const FileFacts& file) {
  Sheet sheet;
  sheet.landscape = true;
  const std::string company = report.Text("BASIC", "KOMONSAKINAME");
  sheet.title = "消費税 比較表 " + company;
  sheet.heading = "消費税 連動データ 比較表";
  sheet.sections.push_back(HeaderSection(earlier, earlierFile, report, file));
  std::vector<std::string> folded;
  TopicSections(earlier, report, sheet.sections, folded);
  StatementSections(earlier, report, sheet.sections, folded);
  if (!folded.empty()) {
    std::string list;
    for (const std::string& title : folded) list += (list.empty() ? "" : "、") + title;
    sheet.sections.push_back(Section{"folded", "どちらにも値のない表", {list}, {}});
  }
  Section& header = sheet.sections.front();
  header.notes.push_back("前回 " + earlierFile.name + " と今回 " + file.name +
                         " を比べています。差額は今回から前回を引いた額です。" + kMark +
                         " の行は値が変わっています（" + std::to_string(ChangedRows(sheet)) +
                         " 行）。");
  if (DifferentCompanies(earlier, report)) {
    header.notes.push_back("顧問先名の異なる連動データです（--force で比べています）。");
  }
  sheet.footer = SheetFooter();
  return sheet;
}

}  // namespace taxlink::sheet
