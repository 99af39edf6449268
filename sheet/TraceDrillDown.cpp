#include "sheet/TraceDrillDown.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "mvhost/lib/TaxClassRules.h"
#include "platform/text/Encoding.h"
#include "report/ReportFormat.h"
#include "sheet/HtmlSheet.h"
#include "sheet/SheetRows.h"

namespace taxlink::sheet {

namespace {

using nlohmann::json;

constexpr int64_t kRawPerYen = 10000;

// "-1234.5000" as ten-thousandths of a yen.
int64_t RawOf(const std::string& yen) {
  const bool negative = !yen.empty() && yen[0] == '-';
  const std::size_t dot = yen.find('.');
  try {
    const std::string whole = yen.substr(negative ? 1 : 0, dot - (negative ? 1 : 0));
    int64_t raw = std::stoll(whole) * kRawPerYen;
    if (dot != std::string::npos) {
      std::string fraction = yen.substr(dot + 1, 4);
      fraction.append(4 - fraction.size(), '0');
      raw += std::stoll(fraction);
    }
    return negative ? -raw : raw;
  } catch (const std::exception&) {
    return 0;
  }
}

// Grouped yen with the fraction only when there is one: "1,234", "-5.25".
std::string YenCellText(int64_t raw) {
  const bool negative = raw < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string whole = std::to_string(magnitude / kRawPerYen);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) {
    whole.insert(static_cast<std::size_t>(i), ",");
  }
  std::string fraction = std::to_string(magnitude % kRawPerYen);
  if (magnitude % kRawPerYen != 0) {
    fraction.insert(0, 4 - fraction.size(), '0');
    while (fraction.back() == '0') fraction.pop_back();
    whole += "." + fraction;
  }
  return (negative ? "-" : "") + whole;
}

Cell YenCell(int64_t raw) { return Cell{YenCellText(raw), raw < 0 ? "num neg" : "num"}; }

std::string MonthLabel(int kind) {
  if (kind == 15) return "中間決算整理";
  if (kind == 18) return "決算整理";
  return "第 " + std::to_string(kind) + " 月";
}

std::string TaxClassLabel(int taxClass) {
  return std::to_string(taxClass) + " " +
         platform::Cp932ToUtf8(mvhost::RuleOfTaxClass(taxClass).label);
}

std::string KindLabel(const std::string& kind) {
  if (kind == "account") return "科目残高";
  if (kind == "asset") return "固定資産";
  if (kind == "figure") return "内訳項目";
  if (kind == "saved") return "保存データ";
  return "仕訳";
}

// The amount of a side a line contribution took, by its code.
std::string TakenLabel(int64_t taken) {
  if (taken == 0) return "税抜";
  if (taken == 1) return "税額";
  if (taken == 2) return "税込";
  return "";
}

std::string Text(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
  return "";
}

// A row of the trace's line table, as the sheet keeps it (the whole table
// stays in memory: a figure's contributions name rows by index).
struct TableLine {
  int64_t amount = 0, tax = 0;  // as booked: a contribution may take them
  int32_t journal = 0, line = 0, date = 0, account = 0, rate = 0, department = 0;
  int16_t monthKind = 0;
  uint8_t taxClass = 0;
  bool debit = false;
};

int64_t IntegerAt(const json& row, std::size_t i) {
  return i < row.size() && row[i].is_number_integer() ? row[i].get<int64_t>() : 0;
}

TableLine LineOfRow(const json& row) {
  TableLine line;
  line.journal = static_cast<int32_t>(IntegerAt(row, 0));
  line.line = static_cast<int32_t>(IntegerAt(row, 1));
  line.date = static_cast<int32_t>(IntegerAt(row, 2));
  line.monthKind = static_cast<int16_t>(IntegerAt(row, 3));
  line.account = static_cast<int32_t>(IntegerAt(row, 4));
  line.debit = IntegerAt(row, 5) == 1;
  line.taxClass = static_cast<uint8_t>(IntegerAt(row, 6));
  line.rate = static_cast<int32_t>(IntegerAt(row, 7));
  line.department = static_cast<int32_t>(IntegerAt(row, 9));
  line.amount = IntegerAt(row, 10);
  line.tax = IntegerAt(row, 11);
  return line;
}

std::string Where(const json& c) {
  return c.contains("group") && c["group"].is_string() ? Text(c["group"]) : c.value("section", "");
}

std::string TrailId(const std::string& group, const std::string& element) {
  return "trace-" + group + "-" + element;
}

// The cells of one contribution in the order of kLineHead: c, an object of
// its kind, or a line contribution (line: the row it names, taken: the
// amount it took).
std::vector<Cell> ContributionCells(const std::string& kind, const json& c, const TableLine* line,
                                    int64_t taken, int64_t raw,
                                    const std::map<int32_t, std::string>& accounts) {
  std::vector<Cell> cells{Cell{KindLabel(kind)}};
  if (kind == "line" && line != nullptr) {
    auto account = accounts.find(line->account);
    cells.push_back(Cell{DateText(std::to_string(line->date))});
    cells.push_back(
        Cell{std::to_string(line->journal) + " / " + std::to_string(line->line), "num"});
    cells.push_back(
        Cell{account != accounts.end() ? account->second : std::to_string(line->account)});
    cells.push_back(Cell{line->debit ? "借方" : "貸方"});
    cells.push_back(Cell{std::to_string(line->taxClass), "num"});
    cells.push_back(Cell{YenCellText(int64_t{line->rate} * 100) + " %", "num"});
    cells.push_back(Cell{std::to_string(line->department), "num"});
    cells.push_back(Cell{TakenLabel(taken)});
  } else if (kind == "figure") {
    const std::string where = Where(c);
    const std::string element = c.value("element", "");
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{element + "（" + where + "）"});
    cells.back().link = "#" + TrailId(where, element);
    for (int i = 0; i < 5; ++i) cells.push_back(Cell{"—", "na"});
  } else if (kind == "account") {
    const json& account = c["account"];
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{Text(account["code"]) + " " + Text(account["name"])});
    for (int i = 0; i < 3; ++i) cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{Text(c["department"]), "num"});
    cells.push_back(Cell{"—", "na"});
  } else if (kind == "asset") {
    const json& asset = c["asset"];
    cells.push_back(Cell{DateText(Text(asset["acquired"]))});
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{Text(asset["code"]) + " " + Text(asset["name"])});
    for (int i = 0; i < 5; ++i) cells.push_back(Cell{"—", "na"});
  } else {
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{"—", "na"});
    cells.push_back(Cell{c.value("member", "")});
    for (int i = 0; i < 5; ++i) cells.push_back(Cell{"—", "na"});
  }
  cells.push_back(YenCell(raw));
  return cells;
}

const std::vector<Cell> kLineHead = {
    Cell{"種類"},   Cell{"日付"}, Cell{"伝票 / 行"}, Cell{"科目・資産"}, Cell{"貸借"},
    Cell{"税区分"}, Cell{"税率"}, Cell{"部門"},      Cell{"額"},         Cell{"金額"}};

// The full list of a figure's contributions, written as they are read, up to
// kFullListRows rows; the rest are counted and named in the trace.
class FullList {
 public:
  bool Open(const std::string& path, const std::string& title) {
    out_.open(path, std::ios::binary | std::ios::trunc);
    out_ << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
         << EscapeHtml(title)
         << "</title>\n<style>body { font-family: sans-serif; font-size: 9pt; }"
         << " table { border-collapse: collapse; } th, td { border: 0.6pt solid #777;"
         << " padding: 1pt 4pt; } td.num { text-align: right; } td.neg { color: #b00000; }"
         << "</style>\n</head>\n<body>\n<h1>" << EscapeHtml(title) << "</h1>\n<table>\n<tr>";
    for (const Cell& cell : kLineHead) out_ << "<th>" << EscapeHtml(cell.text) << "</th>";
    out_ << "</tr>\n";
    return static_cast<bool>(out_);
  }
  // Whether the list takes another row.
  bool Full() const { return rows_ >= static_cast<uint64_t>(kFullListRows); }
  void Add(const std::vector<Cell>& cells) {
    if (Full()) {
      ++rest_;
      return;
    }
    ++rows_;
    out_ << "<tr>";
    for (const Cell& cell : cells) {
      out_ << "<td" << (cell.css.empty() ? "" : " class=\"" + cell.css + "\"") << ">"
           << EscapeHtml(cell.text) << "</td>";
    }
    out_ << "</tr>\n";
  }
  // `where` says where the rows past the list are.
  bool Close(const std::string& where) {
    out_ << "</table>\n";
    if (rest_ > 0) {
      out_ << "<p>" << EscapeHtml(RestNote(rest_, where)) << "</p>\n";
    }
    out_ << "</body>\n</html>\n";
    out_.close();
    return !out_.fail();
  }
  static std::string RestNote(uint64_t rest, const std::string& where) {
    return "先頭 " + std::to_string(kFullListRows) + " 件のほか " + std::to_string(rest) +
           " 件は " + where + " にあります。";
  }

 private:
  std::ofstream out_;
  uint64_t rows_ = 0;
  uint64_t rest_ = 0;
};

// What the sheet shows of one figure, gathered while its contributions
// stream past.
struct Trail {
  std::string element, section, group, raw, rounding, rule, sum;
  int64_t value = 0;
  uint64_t count = 0;
  std::map<std::string, int64_t> byClass;  // tax class (or kind) -> raw
  std::map<int, int64_t> byMonth;          // month kind -> raw
  int64_t withoutMonth = 0;
  std::vector<Row> lines;
  std::unique_ptr<FullList> full;
  std::string fullName;  // the full list's file, relative to the sheet
  // Other figures this one is made of (group or section, element) and the
  // amount each gave: their totals by class and month become this figure's
  // once all are read.
  struct Part {
    std::pair<std::string, std::string> name;
    int64_t amount;
  };
  std::vector<Part> parts;
  bool folded = false;
};

// Adds the totals of the figures a figure is made of to its own (parts may
// come later in the trace, and be made of parts themselves).
void FoldParts(Trail& trail, std::map<std::pair<std::string, std::string>, Trail*>& byName,
               int depth = 0) {
  if (trail.folded || depth > 8) return;
  trail.folded = true;
  for (const Trail::Part& named : trail.parts) {
    auto part = byName.find(named.name);
    if (part == byName.end()) continue;
    FoldParts(*part->second, byName, depth + 1);
    trail.byClass[KindLabel("figure")] -= named.amount;
    if (trail.byClass[KindLabel("figure")] == 0) trail.byClass.erase(KindLabel("figure"));
    for (const auto& [bucket, raw] : part->second->byClass) trail.byClass[bucket] += raw;
    for (const auto& [kind, raw] : part->second->byMonth) trail.byMonth[kind] += raw;
    trail.withoutMonth += part->second->withoutMonth;
  }
}

// Labels of the amount elements as the sheet's tables name them.
std::map<std::pair<std::string, std::string>, std::string> FigureLabels() {
  std::map<std::pair<std::string, std::string>, std::string> labels;
  for (const TopicRows& topic : AllTopicRows()) {
    for (const TopicRow& row : topic.rows) {
      for (int rate = 0; rate < kRateGroups; ++rate) {
        if (row.element[rate].empty()) continue;
        labels[{row.group[rate], row.element[rate]}] =
            row.label + " " + std::to_string(RatePercent(rate)) + " %";
      }
    }
  }
  for (const GroupFormat* statement : {&KanpuhFormat(), &KanpukFormat()}) {
    for (const StatementRow& row : StatementRows(*statement)) {
      for (int column = 0; column < 2; ++column) {
        if (row.element[column].empty()) continue;
        labels[{statement->name, row.element[column]}] =
            row.label + (row.code      ? ""
                         : column == 0 ? "（決算額）"
                                       : "（課税取引外）");
      }
    }
  }
  return labels;
}

// Where a figure's contributions past its full list are: its entry in the
// trace.
std::string RestPlace(const std::string& tracePath, const Trail& trail) {
  const std::string where = trail.group.empty() ? trail.section : trail.group;
  return "トレース " + std::filesystem::path(tracePath).filename().string() + " の figures の " +
         trail.element + "（" + where + "）の contributions";
}

Section TrailSection(Trail& trail, const std::string& label) {
  const std::string where = trail.group.empty() ? trail.section : trail.group;
  Section section{TrailId(where, trail.element), label + "　" + trail.element + "（" + where +
                                                     "）　" +
                                                     YenCellText(trail.value * kRawPerYen) +
                                                     " 円　" + std::to_string(trail.count) + " 件"};
  section.collapsible = true;
  std::string note =
      "端数処理前 " + YenCellText(RawOf(trail.raw)) + " 円（" + trail.rounding + "）";
  if (!trail.rule.empty()) {
    note += "。内訳の合計 " + YenCellText(RawOf(trail.sum)) + " 円に規則 " + trail.rule +
            " を適用（docs/trace.md）";
  }
  section.notes.push_back(note);

  Table byClass{"figures", {{Cell{"税区分"}, Cell{"合計"}}}, {}, {}, {60, 40}};
  for (const auto& [name, raw] : trail.byClass) {
    byClass.rows.push_back(Row{"class/" + name, {Cell{name, "label"}, YenCell(raw)}});
  }
  Table byMonth{"figures", {{Cell{"月"}, Cell{"合計"}}}, {}, {}, {60, 40}};
  for (const auto& [kind, raw] : trail.byMonth) {
    byMonth.rows.push_back(
        Row{"month/" + std::to_string(kind), {Cell{MonthLabel(kind), "label"}, YenCell(raw)}});
  }
  if (trail.withoutMonth != 0 || (trail.byMonth.empty() && trail.count > 0)) {
    byMonth.rows.push_back(
        Row{"month/none",
            {Cell{"月の別なし（残高・資産・保存データ）", "label"}, YenCell(trail.withoutMonth)}});
  }
  Table lines{"figures", {kLineHead}, std::move(trail.lines)};
  if (trail.count > static_cast<uint64_t>(kTrailLinesShown)) {
    lines.note = "ほか " + std::to_string(trail.count - kTrailLinesShown) + " 件";
  }
  section.tables = {byClass, byMonth, lines};
  if (!trail.fullName.empty()) {
    section.tables.push_back(
        Table{"facts",
              {},
              {Row{"full-list",
                   {Cell{trail.count > static_cast<uint64_t>(kFullListRows)
                             ? "先頭 " + std::to_string(kFullListRows) + " 件の一覧（全 " +
                                   std::to_string(trail.count) + " 件）"
                             : "全 " + std::to_string(trail.count) + " 件の一覧",
                         "label"},
                    Cell{trail.fullName, "", 1}}}}});
    section.tables.back().rows[0].cells[1].link = trail.fullName;
  }
  return section;
}

// Links the cells of the sheet's figure tables to the trails they have.
void LinkCells(Sheet* sheet,
               const std::map<std::pair<std::string, std::string>, std::string>& ids) {
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> cellsOfRow;
  for (const TopicRows& topic : AllTopicRows()) {
    for (const TopicRow& row : topic.rows) {
      for (int rate = 0; rate < kRateGroups; ++rate) {
        cellsOfRow[row.key].push_back({row.group[rate], row.element[rate]});
      }
    }
  }
  for (const GroupFormat* statement : {&KanpuhFormat(), &KanpukFormat()}) {
    for (const StatementRow& row : StatementRows(*statement)) {
      if (row.code) continue;
      for (int column = 0; column < 2; ++column) {
        cellsOfRow[row.key].push_back({statement->name, row.element[column]});
      }
    }
  }
  for (Section& section : sheet->sections) {
    for (Table& table : section.tables) {
      for (Row& row : table.rows) {
        auto found = cellsOfRow.find(row.key);
        if (found == cellsOfRow.end()) continue;
        for (std::size_t i = 0; i < found->second.size() && i + 1 < row.cells.size(); ++i) {
          auto id = ids.find(found->second[i]);
          if (id != ids.end()) row.cells[i + 1].link = "#" + id->second;
        }
      }
    }
  }
}

}  // namespace

bool AddTraceDrillDown(Sheet* sheet, const std::string& tracePath, const std::string& reportSha256,
                       const std::string& sheetPath, std::string* error) {
  std::ifstream in(tracePath, std::ios::binary);
  if (!in) {
    *error = tracePath + ": cannot be read";
    return false;
  }
  std::filesystem::path sheetFile(sheetPath);
  const std::string folderName = sheetFile.stem().string() + ".trace";
  const std::filesystem::path folder = sheetFile.parent_path() / folderName;

  const auto labels = FigureLabels();
  std::map<std::pair<std::string, std::string>, std::string> ids;
  std::vector<std::unique_ptr<Trail>> trails;
  std::map<int32_t, std::string> accounts;  // id -> "code name"
  std::vector<TableLine> table;
  std::optional<std::string> sha256;
  auto trail = std::make_unique<Trail>();
  std::string lastKey, topKey;
  bool otherReport = false;
  bool fileFailed = false;
  bool misordered = false;
  std::optional<std::string> badLine;

  // A contribution into the figure's lines shown and its full list.
  auto addContribution = [&](const std::string& kind, const json& c, const TableLine* line,
                             int64_t taken, int64_t raw) {
    const bool shown = trail->lines.size() < static_cast<std::size_t>(kTrailLinesShown);
    if (!shown && (!trail->full || trail->full->Full())) {
      if (trail->full) trail->full->Add({});  // counted only
      return;
    }
    std::vector<Cell> cells = ContributionCells(kind, c, line, taken, raw, accounts);
    if (trail->full) trail->full->Add(cells);
    if (shown) {
      trail->lines.push_back(Row{"line/" + std::to_string(trail->lines.size()), std::move(cells)});
    }
  };
  // Contributions and figures are handled as they end and then dropped, so
  // that a trace of any size is read in little memory.
  json::parser_callback_t handle = [&](int depth, json::parse_event_t event, json& parsed) {
    if (otherReport || misordered || badLine) return false;
    if (event == json::parse_event_t::key) {
      lastKey = parsed.get<std::string>();
      if (depth == 1) topKey = lastKey;
      // The program writes a figure's contributions last, after what names
      // and counts them; read in one pass, they cannot come earlier.
      if (depth == 3 && lastKey == "contributions" && trail->element.empty()) {
        misordered = true;
        return false;
      }
      if (depth == 3 && lastKey == "contributions" && trail->count > kTrailLinesShown) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        const std::string where = trail->group.empty() ? trail->section : trail->group;
        trail->fullName = folderName + "/" + where + "-" + trail->element + ".html";
        trail->full = std::make_unique<FullList>();
        fileFailed = fileFailed || !trail->full->Open(
                                       (folder / (where + "-" + trail->element + ".html")).string(),
                                       trail->element + "（" + where + "）");
      }
      return true;
    }
    if (topKey == "lines" && depth == 2 && event == json::parse_event_t::array_end) {
      table.push_back(LineOfRow(parsed));
      return false;
    }
    if (topKey == "accounts" && depth == 2 && event == json::parse_event_t::object_end) {
      accounts[static_cast<int32_t>(parsed.value("id", 0))] =
          Text(parsed["code"]) + " " + Text(parsed["name"]);
      return false;
    }
    if (topKey != "figures" && depth >= 2) return true;
    // A line contribution: [row of the line table, amount taken, amount],
    // without the amount when it is what the row booked of the amount taken.
    if (depth == 4 && event == json::parse_event_t::array_end) {
      const int64_t index = IntegerAt(parsed, 0);
      const int64_t taken = IntegerAt(parsed, 1);
      if (parsed.size() < 2 || parsed.size() > 3 || index < 0 ||
          static_cast<uint64_t>(index) >= table.size() || taken < 0 || taken > 2) {
        badLine = parsed.dump();
        return false;
      }
      const TableLine* line = &table[static_cast<std::size_t>(index)];
      int64_t raw = IntegerAt(parsed, 2);
      if (parsed.size() == 2 &&
          __builtin_add_overflow(taken != 1 ? line->amount : 0, taken != 0 ? line->tax : 0, &raw)) {
        badLine = parsed.dump();
        return false;
      }
      trail->byClass[TaxClassLabel(line->taxClass)] += raw;
      trail->byMonth[line->monthKind] += raw;
      addContribution("line", parsed, line, IntegerAt(parsed, 1), raw);
      return false;
    }
    if (event == json::parse_event_t::value && depth == 3) {
      if (lastKey == "element") trail->element = Text(parsed);
      if (lastKey == "section") trail->section = Text(parsed);
      if (lastKey == "group") trail->group = Text(parsed);
      if (lastKey == "raw") trail->raw = Text(parsed);
      if (lastKey == "rounding") trail->rounding = Text(parsed);
      if (lastKey == "rule") trail->rule = Text(parsed);
      if (lastKey == "sum") trail->sum = Text(parsed);
      if (lastKey == "value" && parsed.is_number_integer()) trail->value = parsed.get<int64_t>();
      if (lastKey == "count" && parsed.is_number_unsigned()) trail->count = parsed.get<uint64_t>();
      return true;
    }
    if (event != json::parse_event_t::object_end) return true;
    if (depth == 1 && parsed.contains("sha256")) {
      sha256 = Text(parsed["sha256"]);
      otherReport = *sha256 != reportSha256;
      return !otherReport;
    }
    if (depth == 4 && parsed.contains("kind")) {
      const std::string kind = parsed.value("kind", "");
      const int64_t raw = RawOf(parsed.value("amount", "0"));
      // A part's totals replace its bucket when the parts are folded in.
      if (kind == "figure") {
        trail->parts.push_back({{Where(parsed), parsed.value("element", "")}, raw});
      }
      trail->byClass[KindLabel(kind)] += raw;
      if (kind != "figure") trail->withoutMonth += raw;
      addContribution(kind, parsed, nullptr, 0, raw);
      return false;
    }
    if (depth == 2 && parsed.contains("element")) {
      if (trail->full) fileFailed = !trail->full->Close(RestPlace(tracePath, *trail)) || fileFailed;
      trail->full.reset();
      trails.push_back(std::move(trail));
      trail = std::make_unique<Trail>();
      return false;
    }
    return true;
  };
  try {
    const json rest = json::parse(in, handle);
    (void)rest;
  } catch (const json::exception& e) {
    if (!otherReport) {
      *error = tracePath + " is not a trace: " + e.what();
      return false;
    }
  }
  if (badLine) {
    *error = tracePath + " is not a trace: the line contribution " + *badLine +
             " does not name a row of the line table before it";
    return false;
  }
  if (misordered) {
    *error = tracePath + " is not a trace: a figure's contributions come before its element";
    return false;
  }
  if (!sha256 || otherReport) {
    *error = sha256 ? tracePath + " is the trace of another report (SHA-256 " + *sha256 +
                          ", the report's is " + reportSha256 + ")"
                    : tracePath + " is not a trace: it names no report";
    return false;
  }
  if (fileFailed) {
    *error = "cannot write the full lists in " + folder.string();
    return false;
  }
  std::map<std::pair<std::string, std::string>, Trail*> byName;
  for (auto& t : trails) byName[{t->group.empty() ? t->section : t->group, t->element}] = t.get();
  for (auto& t : trails) FoldParts(*t, byName);
  std::vector<Section> sections;
  for (auto& t : trails) {
    const std::string where = t->group.empty() ? t->section : t->group;
    auto label = labels.find({where, t->element});
    sections.push_back(TrailSection(*t, label != labels.end() ? label->second : t->element));
    ids[{where, t->element}] = sections.back().id;
  }
  if (!sections.empty()) {
    Section heading{"trace",
                    "内訳（" + std::to_string(sections.size()) + " 項目）",
                    {"表の金額をクリックすると、その金額を作った仕訳・科目残高・資産を開きます。"
                     "税区分別・月別の合計のあと、先頭 " +
                     std::to_string(kTrailLinesShown) + " 件を示します。"}};
    sheet->sections.push_back(heading);
    for (Section& section : sections) sheet->sections.push_back(std::move(section));
  }
  LinkCells(sheet, ids);
  return true;
}

}  // namespace taxlink::sheet
