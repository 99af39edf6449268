#include "sheet/WorkedExamples.h"

#include <nlohmann/json.hpp>

#include "sheet/SheetRows.h"

namespace taxlink::sheet {

namespace {

using nlohmann::json;

constexpr std::size_t kLinesShown = 3;

std::string Text(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
  return "";
}

// "720000.0000" as "720,000", "-5.2500" as "-5.25".
std::string Yen(const std::string& yen) {
  const bool negative = !yen.empty() && yen[0] == '-';
  const std::size_t dot = yen.find('.');
  std::string whole =
      yen.substr(negative ? 1 : 0, dot == std::string::npos ? std::string::npos : dot - negative);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) {
    whole.insert(static_cast<std::size_t>(i), ",");
  }
  std::string fraction = dot == std::string::npos ? "" : yen.substr(dot + 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return (negative ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

// An amount of ten-thousandths of a yen (the line table's notation).
std::string YenOfRaw(const json& raw) {
  if (!raw.is_number_integer()) return Text(raw);
  const int64_t value = raw.get<int64_t>();
  const uint64_t magnitude =
      value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return Yen((value < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction);
}

// The account of a line-table row, "code name".
std::string AccountText(const json& trace, const json& id) {
  for (const json& account : trace["accounts"]) {
    if (account["id"] == id) return Text(account["code"]) + " " + Text(account["name"]);
  }
  return Text(id);
}

std::string Describe(const json& trace, const json& c) {
  if (c.is_array()) {
    // A line contribution names a row of the line table (columns in the
    // order of line_entry_columns and line_columns).
    static const char* const kTaken[] = {"excluding_tax", "tax", "including_tax"};
    const std::size_t index = !c.empty() && c[0].is_number_unsigned() ? c[0].get<std::size_t>() : 0;
    const json& row = index < trace["lines"].size() ? trace["lines"][index] : json::array();
    const int64_t taken = c.size() > 1 && c[1].is_number_integer() ? c[1].get<int64_t>() : -1;
    if (row.size() < 12 || c.size() < 2 || taken < 0 || taken > 2) return "line " + c.dump();
    // Without its amount, the entry took what the row booked.
    auto integer = [](const json& v) { return v.is_number_integer() ? v.get<int64_t>() : 0; };
    const json amount =
        c.size() > 2
            ? c[2]
            : json((taken != 1 ? integer(row[10]) : 0) + (taken != 0 ? integer(row[11]) : 0));
    return DateText(Text(row[2])) + " journal " + Text(row[0]) + " line " + Text(row[1]) + ", " +
           AccountText(trace, row[4]) + " " + (row[5] == 1 ? "debit" : "credit") + ", class " +
           Text(row[6]) + ", " + kTaken[taken] + ": " + YenOfRaw(amount);
  }
  const std::string kind = c.value("kind", "");
  std::string text;
  if (kind == "figure") {
    text = "the figure " + Text(c["element"]) + " (" +
           (c["group"].is_null() ? Text(c["section"]) : Text(c["group"])) + ")";
  } else if (kind == "account") {
    text = "account sum " + Text(c["account"]["code"]) + " " + Text(c["account"]["name"]);
  } else if (kind == "asset") {
    text = "asset " + Text(c["asset"]["code"]) + " " + Text(c["asset"]["name"]) + ", acquired " +
           DateText(Text(c["asset"]["acquired"]));
  } else {
    text = "saved " + Text(c["member"]);
  }
  return text + ": " + Yen(Text(c["amount"]));
}

}  // namespace

std::string WorkedExamplesMarkdown(std::string_view traceJson) {
  const json trace = json::parse(traceJson, nullptr, false);
  if (trace.is_discarded() || !trace.contains("figures")) return {};
  std::string out =
      "\n## Worked examples: sakura\n\n"
      "Every amount of the report of the example data set sakura\n"
      "(`examples/standard-corporation/sakura.json`, the whole year, by journals) with\n"
      "the lines behind it, from the trace of its run (docs/trace.md;\n"
      "`tests/app/golden/sakura.trace.json`, which a test keeps equal to the run's\n"
      "byte for byte but for the time it was written, so that `taxlink-sheet --trace`\n"
      "opens it with `tests/app/golden/sakura.xml`).\n"
      "The value is the figure before rounding rounded by the data set's mode; the\n"
      "contributions add up to that figure (through the rule named, if any).\n\n"
      "A figure that is the sum of other figures (the 8 % taxable sales are their\n"
      "unclassified part plus the six business types) names those figures.\n\n"
      "| Element | Group | Value | Before rounding | Contributions | The first of them |\n"
      "|---|---|---|---|---|---|\n";
  for (const json& figure : trace["figures"]) {
    std::string first;
    const json& contributions = figure["contributions"];
    for (std::size_t i = 0; i < contributions.size() && i < kLinesShown; ++i) {
      first += (i == 0 ? "" : "; ") + Describe(trace, contributions[i]);
    }
    if (contributions.size() > kLinesShown) {
      first += "; and " + std::to_string(contributions.size() - kLinesShown) + " more";
    }
    std::string before = Yen(Text(figure["raw"]));
    if (figure.contains("rule"))
      before += " (" + Text(figure["rule"]) + " of " + Yen(Text(figure["sum"])) + ")";
    out += "| `" + Text(figure["element"]) + "` | " +
           (figure["group"].is_null() ? Text(figure["section"]) : Text(figure["group"])) + " | " +
           Yen(Text(figure["value"])) + " | " + before + " | " + Text(figure["count"]) + " | " +
           first + " |\n";
  }
  return out;
}

}  // namespace taxlink::sheet
