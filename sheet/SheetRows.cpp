#include "sheet/SheetRows.h"

#include "resources/StringResources.h"
#include "sheet/AmountText.h"
#include "sheet/ElementLabels.h"

namespace taxlink::sheet {

namespace {

// A label the table lacks shows the element name, never an empty row
// title (a test keeps the table complete).
std::string LabelOr(const char* label, const std::string& name) {
  return label != nullptr ? label : name;
}

std::vector<TopicRows> MakeTopicRows() {
  std::vector<TopicRows> topics;
  for (const FormTopic& topic : FormTopics()) {
    TopicRows rows;
    rows.stem = topic.codeStem;
    rows.title = LabelOr(GroupTitle(topic.codeStem), rows.stem);
    rows.groups = FormCode(topic, 0) + "～" + FormCode(topic, kRateGroups - 1);
    for (const FormElement& element : topic.elements) {
      TopicRow row;
      row.key = rows.stem + "/" + element.stem;
      row.label = LabelOr(LabelOf(element.stem), element.stem);
      for (int rate = 0; rate < kRateGroups; ++rate) {
        if (!element.HasRate(rate)) continue;
        row.group[rate] = FormCode(topic, rate);
        row.element[rate] = ElementName(element, rate);
      }
      rows.rows.push_back(std::move(row));
    }
    topics.push_back(std::move(rows));
  }
  return topics;
}

}  // namespace

const std::vector<TopicRows>& AllTopicRows() {
  static const std::vector<TopicRows> topics = MakeTopicRows();
  return topics;
}

std::vector<StatementRow> StatementRows(const GroupFormat& statement) {
  std::vector<StatementRow> rows;
  for (const ElementFormat& element : statement.elements) {
    const std::string& name = element.name;
    const char last = name.back();
    if (element.kind == ValueKind::kCodeOrEmpty) {
      StatementRow row{statement.name + "/" + name, LabelOr(LabelOf(name), name), {name, ""}, true};
      rows.push_back(row);
      continue;
    }
    const std::string stem = name.substr(0, name.size() - 1);
    if (last == '2' && !rows.empty() && rows.back().key == statement.name + "/" + stem) {
      rows.back().element[1] = name;
      continue;
    }
    rows.push_back({statement.name + "/" + stem, LabelOr(LabelOf(stem), stem), {name, ""}, false});
  }
  return rows;
}

Cell AmountCell(std::string_view text) {
  return Cell{GroupedAmount(text), IsNegative(text) ? "num neg" : "num"};
}

Cell AbsentCell() { return Cell{"—", "na"}; }

std::string CodeText(std::string_view element, std::string_view code) {
  if (code.empty()) return "—";
  const char* meaning = CodeMeaning(element, code);
  if (meaning == nullptr) return std::string(code);
  return std::string(meaning) + "（" + std::string(code) + "）";
}

std::string DateText(std::string_view d) {
  if (d.size() != 8) return std::string(d);
  return std::string(d.substr(0, 4)) + "/" + std::string(d.substr(4, 2)) + "/" +
         std::string(d.substr(6, 2));
}

bool HasValue(const ReportContent& report, const TopicRow& row) {
  for (int rate = 0; rate < kRateGroups; ++rate) {
    if (!row.element[rate].empty() && !report.Text(row.group[rate], row.element[rate]).empty()) {
      return true;
    }
  }
  return false;
}

bool HasValue(const ReportContent& report, const std::string& statement, const StatementRow& row) {
  for (const std::string& element : row.element) {
    if (!element.empty() && !report.Text(statement, element).empty()) return true;
  }
  return false;
}

bool DifferentCompanies(const ReportContent& a, const ReportContent& b) {
  return a.Text("BASIC", "KOMONSAKINAME") != b.Text("BASIC", "KOMONSAKINAME");
}

std::string FoldedRowsNote(int rows) { return "値のない " + std::to_string(rows) + " 行を省略"; }

std::string SheetFooter() {
  return std::string("taxlink-sheet ") + LoadStringResource(kIdsComponentVersion) +
         " — 連動データのファイルだけから作成した確認表です。申告書の作成前に、"
         "会計データの集計結果と照らし合わせてください。";
}

}  // namespace taxlink::sheet
