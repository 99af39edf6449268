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
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, ",");
  std::string fraction = dot == std::string::npos ? "" : yen.substr(dot + 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return (negative ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

// The account of a line-table row, "code name".
std::string AccountText(const json& trace, const json& id) {
  for (const json& account : trace["accounts"]) {
    if (account["id"] == id) return Text(account["code"]) + " " + Text(account["name"]);
  }
  return Text(id);
}

std::string Describe(const json& trace, const json& c) {
  const std::string kind = c.value("kind", "");
  std::string text;
  if (kind == "line") {
    // The row of the line table the contribution names (columns in
    // line_columns' order).
    const std::size_t index = c["line"].is_number_unsigned() ? c["line"].get<std::size_t>() : 0;
    const json& row = index < trace["lines"].size() ? trace["lines"][index] : json::array();
    if (row.size() < 7) return "line " + Text(c["line"]) + ": " + Yen(Text(c["amount"]));
    text = DateText(Text(row[2])) + " journal " + Text(row[0]) + " line " + Text(row[1]) + ", " +
           AccountText(trace, row[4]) + " " + Text(row[5]) + ", class " + Text(row[6]) + ", " +
           Text(c["taken"]);
  } else if (kind == "figure") {
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
