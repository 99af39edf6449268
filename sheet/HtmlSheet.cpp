#include "sheet/HtmlSheet.h"

namespace taxlink::sheet {

namespace {

// Print first: A4 with the tables' heads repeated on every page, no table
// cut under its heading, and the marks of changed rows printed in black as
// well as shaded.
constexpr char kStyle[] =
    R"(body { font-family: "IPAGothic", "IPAexGothic", "Noto Sans CJK JP", sans-serif;
  font-size: 9.5pt; color: #000; margin: 16pt auto; max-width: 540pt; }
body.landscape { max-width: 780pt; }
h1 { font-size: 15pt; margin: 0 0 6pt 0; }
h2 { font-size: 11pt; margin: 14pt 0 4pt 0; padding-bottom: 1pt; border-bottom: 1pt solid #000;
  page-break-after: avoid; break-after: avoid; }
table { border-collapse: collapse; width: 100%; margin: 0; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; break-inside: avoid; }
th, td { border: 0.6pt solid #777; padding: 2pt 4pt; vertical-align: top; }
th { background-color: #e8e8e8; font-weight: normal; }
table.facts td.label { background-color: #f4f4f4; }
table + table { margin-top: 4pt; }
td.num { text-align: right; white-space: nowrap; }
td.neg { color: #b00000; }
td.na { text-align: center; color: #888; }
td.mark { text-align: center; width: 12pt; }
td.total { font-weight: bold; }
tr.changed td { background-color: #ffe9a8; font-weight: bold; }
p.note { margin: 2pt 0 4pt 0; }
p.folded { margin: 2pt 0 0 0; font-size: 8pt; color: #444; }
div.footer { margin-top: 16pt; font-size: 8pt; color: #444; }
@media print {
  body, body.landscape { margin: 0; max-width: none; }
  tr.changed td, th, table.facts td.label { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";

// Only sheets with sections that open (a trace's figures) carry these.
constexpr char kOpeningStyle[] = R"(details.section { margin: 6pt 0; }
details.section > summary { font-size: 10pt; cursor: pointer; padding: 2pt 0; border-bottom: 0.6pt solid #777; }
details.section[open] > summary { font-weight: bold; }
td a { color: inherit; }
)";

// Appends the text with & < > " written as entities, without a string of
// its own: a sheet has thousands of cells (EscapeHtml is this into a new
// string).
void AppendEscaped(std::string& out, std::string_view text) {
  size_t from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '"':
        entity = "&quot;";
        break;
      default:
        continue;
    }
    out.append(text.substr(from, i - from));
    out += entity;
    from = i + 1;
  }
  out.append(text.substr(from));
}

void AppendCell(std::string& out, const char* tag, const Cell& cell, int width) {
  out += '<';
  out += tag;
  if (!cell.css.empty()) {
    out += " class=\"";
    out += cell.css;
    out += '"';
  }
  if (cell.colspan > 1) {
    out += " colspan=\"";
    out += std::to_string(cell.colspan);
    out += '"';
  }
  if (width > 0) {
    out += " width=\"";
    out += std::to_string(width);
    out += "%\"";
  }
  out += '>';
  if (cell.link.empty()) {
    AppendEscaped(out, cell.text);
  } else {
    // A link to a figure's trail opens it as well as going there.
    out += "<a href=\"";
    AppendEscaped(out, cell.link);
    out += '"';
    if (cell.link[0] == '#') {
      out += " onclick=\"document.getElementById('";
      AppendEscaped(out, std::string_view(cell.link).substr(1));
      out += "').open=true\"";
    }
    out += '>';
    AppendEscaped(out, cell.text);
    out += "</a>";
  }
  out += "</";
  out += tag;
  out += '>';
}

// The widths go on the cells of the last header row, or of the first row
// when there is no header: browsers and Qt's text layout both read them
// there. The table's attributes repeat its style for Qt's text layout,
// which takes attributes where browsers take the style sheet.
void AppendTable(std::string& out, const Table& table) {
  if (table.rows.empty() && table.head.empty()) return;
  auto width = [&table](std::size_t column) {
    return column < table.widths.size() ? table.widths[column] : 0;
  };
  out += "<table class=\"" + table.css + "\" width=\"100%\" cellspacing=\"0\" cellpadding=\"3\">\n";
  if (!table.head.empty()) {
    out += "<thead>\n";
    for (std::size_t r = 0; r < table.head.size(); ++r) {
      const bool last = r + 1 == table.head.size();
      out += "<tr>";
      for (std::size_t c = 0; c < table.head[r].size(); ++c) {
        AppendCell(out, "th", table.head[r][c], last ? width(c) : 0);
      }
      out += "</tr>\n";
    }
    out += "</thead>\n";
  }
  out += "<tbody>\n";
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    const Row& row = table.rows[r];
    const bool sized = table.head.empty() && r == 0;
    out += "<tr data-key=\"";
    AppendEscaped(out, row.key);
    out += '"';
    if (row.changed) out += " class=\"changed\"";
    out += '>';
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      AppendCell(out, "td", row.cells[c], sized ? width(c) : 0);
    }
    out += "</tr>\n";
  }
  out += "</tbody>\n</table>\n";
  if (!table.note.empty()) out += "<p class=\"folded\">" + EscapeHtml(table.note) + "</p>\n";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

std::string RenderHtml(const Sheet& sheet) {
  bool collapsible = false;
  for (const Section& section : sheet.sections) collapsible = collapsible || section.collapsible;
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
      EscapeHtml(sheet.title) + "</title>\n<style>\n@page { size: A4" +
      (sheet.landscape ? " landscape" : "") + "; margin: 12mm 10mm; }\n" + kStyle +
      (collapsible ? kOpeningStyle : "") + "</style>\n</head>\n<body class=\"" +
      (sheet.landscape ? "landscape" : "portrait") + "\">\n<h1>" + EscapeHtml(sheet.heading) +
      "</h1>\n";
  for (const Section& section : sheet.sections) {
    const char* element = section.collapsible ? "details" : "div";
    out +=
        std::string("<") + element + " class=\"section\" id=\"" + EscapeHtml(section.id) + "\">\n";
    if (section.collapsible) {
      out += "<summary>" + EscapeHtml(section.title) + "</summary>\n";
    } else if (!section.title.empty()) {
      out += "<h2>" + EscapeHtml(section.title) + "</h2>\n";
    }
    for (const std::string& note : section.notes) {
      out += "<p class=\"note\">" + EscapeHtml(note) + "</p>\n";
    }
    for (const Table& table : section.tables) AppendTable(out, table);
    out += std::string("</") + element + ">\n";
  }
  if (collapsible) {
    // A sheet opened at a figure's address ("sheet.html#trace-...") shows it open.
    out +=
        "<script>if (location.hash) { var e = document.getElementById(location.hash.slice(1));"
        " if (e && e.tagName == 'DETAILS') e.open = true; }</script>\n";
  }
  if (!sheet.footer.empty())
    out += "<div class=\"footer\">" + EscapeHtml(sheet.footer) + "</div>\n";
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace taxlink::sheet
