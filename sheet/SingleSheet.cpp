#include "sheet/SingleSheet.h"

#include "sheet/AmountText.h"
#include "sheet/ElementLabels.h"
#include "sheet/SheetRows.h"

namespace taxlink::sheet {

namespace {

Row Fact(std::string key, std::string label, std::string value) {
  return Row{std::move(key), {Cell{std::move(label), "label"}, Cell{std::move(value)}}};
}

std::string Basic(const ReportContent& r, const char* element) { return r.Text("BASIC", element); }
std::string System(const ReportContent& r, const char* element) {
  return r.Text("SYSTEM", element);
}

Row CodedFact(const ReportContent& r, const char* element) {
  return Fact(std::string("BASIC/") + element, LabelOf(element),
              CodeText(element, Basic(r, element)));
}

Section HeaderSection(const ReportContent& r, const FileFacts& file) {
  Table facts{"facts"};
  facts.widths = {30, 70};
  facts.rows = {
      Fact("BASIC/KOMONSAKINAME", LabelOf("KOMONSAKINAME"), Basic(r, "KOMONSAKINAME")),
      Fact("BASIC/JIGYOUNENDO", "事業年度",
           DateText(Basic(r, "JIGYOUNENDOFROM")) + " ～ " + DateText(Basic(r, "JIGYOUNENDOTO"))),
      CodedFact(r, "HOUJINKOJINKUBUN"),
      CodedFact(r, "KAZEIKUBUN"),
      CodedFact(r, "URIAGEZEIGAKUKEISAN"),
      CodedFact(r, "SHIIREZEIGAKUKEISAN"),
      CodedFact(r, "KEIKASHOCHIKAZEISHISAN"),
      Fact("SYSTEM/PROGRAM", "会計プログラム",
           System(r, "PROGRAMNAME") + " " + System(r, "PROGRAMVER")),
      Fact("SYSTEM/LINK", "連動プログラム",
           "版 " + System(r, "CONNECTEDPROGRAMVER") + "、機能ID " + System(r, "FUNCTIONID") +
               "、連動データ " + System(r, "GYOUMUPREFIX") + " 第" + System(r, "VERSION") + "版"),
      Fact("FILE/NAME", "ファイル", file.name),
      Fact("FILE/SHA256", "SHA-256", file.sha256),
      Fact("FILE/MODIFIED", "更新日時", file.modified),
  };
  return Section{"header", "", {}, {facts}};
}

// One table per topic, rows of elements with a value; an empty topic
// adds its title to *folded instead.
void TopicSections(const ReportContent& r, std::vector<Section>& sections,
                   std::vector<std::string>& folded) {
  for (const TopicRows& topic : AllTopicRows()) {
    Table table{"figures", {{Cell{"項目"}, Cell{"8 %"}, Cell{"5 %"}, Cell{"3 %"}}}};
    table.widths = {40, 20, 20, 20};
    int empty = 0;
    for (const TopicRow& row : topic.rows) {
      if (!HasValue(r, row)) {
        ++empty;
        continue;
      }
      Row out{row.key, {Cell{row.label, "label"}}};
      for (int rate = 0; rate < kRateGroups; ++rate) {
        out.cells.push_back(row.element[rate].empty()
                                ? AbsentCell()
                                : AmountCell(r.Text(row.group[rate], row.element[rate])));
      }
      table.rows.push_back(std::move(out));
    }
    if (table.rows.empty()) {
      folded.push_back(topic.title + "（" + topic.groups + "）");
      continue;
    }
    if (empty > 0) table.note = FoldedRowsNote(empty);
    sections.push_back(Section{topic.stem, topic.title + "（" + topic.groups + "）", {}, {table}});
  }
}

// The share of part in total in percent to one decimal place, cut toward
// zero; "—" without a positive total.
std::string ShareText(Yen part, Yen total) {
  if (total <= 0) return "—";
  Yen tenths = part * 1000 / total;
  const bool negative = tenths < 0;
  if (negative) tenths = -tenths;
  return std::string(negative ? "△" : "") + std::to_string(static_cast<long long>(tenths / 10)) +
         "." + std::to_string(static_cast<int>(tenths % 10)) + " %";
}

constexpr const char* kTypeNames[] = {
    "第一種事業（卸売業）", "第二種事業（小売業）",       "第三種事業（製造業等）",
    "第四種事業（その他）", "第五種事業（サービス業等）", "第六種事業（不動産業）",
};

// Taxable sales excluding tax by business type, net of returns, over the
// three rates, with each type's share of the net total: the figures that
// decide the deemed purchase rate under simplified taxation.
bool BusinessTypeSection(const ReportContent& r, std::vector<Section>& sections) {
  struct TypeSums {
    std::string label;
    Yen sales = 0, returns = 0;
  };
  std::vector<TypeSums> types;
  for (int t = 0; t <= 6; ++t) {
    const std::string type = t == 0 ? "ZERO" : std::to_string(t);
    TypeSums sums{t == 0 ? "事業区分なし" : kTypeNames[t - 1]};
    for (int rate = 0; rate < kRateGroups; ++rate) {
      const std::string digit = std::to_string(RatePercent(rate));
      const std::string index = std::to_string(rate);
      sums.sales +=
          AmountValue(r.Text("D02021" + index, "KAZEIURIAGE" + type + "SHUZEINUKI" + digit));
      sums.returns +=
          AmountValue(r.Text("D02022" + index, "KAZEIHENKAN" + type + "SHUZEINUKI" + digit));
    }
    types.push_back(sums);
  }
  // Types 1 to 6 first, the unclassified rest last.
  types.push_back(types.front());
  types.erase(types.begin());

  Yen total = 0, totalSales = 0, totalReturns = 0;
  for (const TypeSums& t : types) {
    total += t.sales - t.returns;
    totalSales += t.sales;
    totalReturns += t.returns;
  }
  if (totalSales == 0 && totalReturns == 0) return false;

  Table table{"figures",
              {{Cell{"事業区分"}, Cell{"課税売上 税抜"}, Cell{"売上の返還等 税抜"}, Cell{"差引"},
                Cell{"構成比"}}},
              {},
              {},
              {28, 20, 20, 20, 12}};
  for (std::size_t i = 0; i < types.size(); ++i) {
    const TypeSums& t = types[i];
    if (t.sales == 0 && t.returns == 0) continue;
    const std::string key =
        "business-type/" + (i < 6 ? std::to_string(i + 1) : std::string("ZERO"));
    table.rows.push_back(
        Row{key,
            {Cell{t.label, "label"}, AmountCell(AmountTextOf(t.sales)),
             AmountCell(AmountTextOf(t.returns)), AmountCell(AmountTextOf(t.sales - t.returns)),
             Cell{ShareText(t.sales - t.returns, total), "num"}}});
  }
  table.rows.push_back(Row{"business-type/total",
                           {Cell{"合計", "label total"}, AmountCell(AmountTextOf(totalSales)),
                            AmountCell(AmountTextOf(totalReturns)), AmountCell(AmountTextOf(total)),
                            Cell{total > 0 ? "100.0 %" : "—", "num"}}});
  sections.push_back(Section{"business-types",
                             "事業区分別の内訳（簡易課税）",
                             {"事業区分ごとに、税抜の課税売上から売上の返還等を差し引いた額を 8 "
                              "%・5 %・3 % の合計で示します。"
                              "構成比は差引の合計に対する割合（小数第 1 位未満切捨て）です。"},
                             {table}});
  return true;
}

// The refund statement of the company's kind (both when the report names
// no kind); a statement without values is folded.
void StatementSections(const ReportContent& r, std::vector<Section>& sections,
                       std::vector<std::string>& folded) {
  const std::string entity = Basic(r, "HOUJINKOJINKUBUN");
  for (const GroupFormat* statement : {&KanpuhFormat(), &KanpukFormat()}) {
    const bool corporate = statement->name == "KANPUH";
    if ((entity == "1" && !corporate) || (entity == "2" && corporate)) continue;
    Table codes{"facts"};
    codes.widths = {30, 70};
    Table lines{"figures",
                {{Cell{"項目"}, Cell{StatementColumnTitle(1)}, Cell{StatementColumnTitle(2)},
                  Cell{"差引 課税仕入高"}}},
                {},
                {},
                {34, 22, 22, 22}};
    int empty = 0;
    bool anyValue = false;
    for (const StatementRow& row : StatementRows(*statement)) {
      if (row.code) {
        const std::string element = row.element[0];
        codes.rows.push_back(
            Fact(row.key, row.label, CodeText(element, r.Text(statement->name, element))));
        continue;
      }
      if (!HasValue(r, statement->name, row)) {
        ++empty;
        continue;
      }
      anyValue = true;
      const std::string book = r.Text(statement->name, row.element[0]);
      const std::string part =
          row.element[1].empty() ? "" : r.Text(statement->name, row.element[1]);
      lines.rows.push_back(Row{row.key,
                               {Cell{row.label, "label"}, AmountCell(book),
                                row.element[1].empty() ? AbsentCell() : AmountCell(part),
                                AmountCell(AmountTextOf(AmountValue(book) - AmountValue(part)))}});
    }
    const std::string title = GroupTitle(statement->name);
    if (!anyValue) {
      folded.push_back(title + "（" + statement->name + "）");
      continue;
    }
    if (empty > 0) lines.note = FoldedRowsNote(empty);
    sections.push_back(
        Section{statement->name, title + "（" + statement->name + "）", {}, {codes, lines}});
  }
}

}  // namespace

Sheet BuildSingleSheet(const ReportContent& report, const FileFacts& file) {
  Sheet sheet;
  const std::string company = Basic(report, "KOMONSAKINAME");
  sheet.title = "消費税 確認表 " + company;
  sheet.heading = "消費税 連動データ 確認表";
  sheet.sections.push_back(HeaderSection(report, file));
  std::vector<std::string> folded;
  TopicSections(report, sheet.sections, folded);
  if (Basic(report, "KAZEIKUBUN") == "2") BusinessTypeSection(report, sheet.sections);
  StatementSections(report, sheet.sections, folded);
  if (!folded.empty()) {
    Section section{"folded", "値のない表", {}, {}};
    std::string list;
    for (const std::string& title : folded) list += (list.empty() ? "" : "、") + title;
    section.notes.push_back(list);
    sheet.sections.push_back(section);
  }
  sheet.footer = SheetFooter();
  return sheet;
}

}  // namespace taxlink::sheet
