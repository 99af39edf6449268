#include "sheet/SheetCommand.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "resources/StringResources.h"
#include "sheet/CompareSheet.h"
#include "sheet/ElementCatalog.h"
#include "sheet/FileFacts.h"
#include "sheet/FindingsFile.h"
#include "sheet/FindingsSection.h"
#include "sheet/HtmlSheet.h"
#include "sheet/ReportReader.h"
#include "sheet/ReportSheet.h"
#include "sheet/SheetRows.h"
#include "sheet/SingleSheet.h"
#include "sheet/TraceDrillDown.h"
#include "sheet/WorkedExamples.h"
#ifdef TAXLINK_WITH_SHEET_PDF
#include "sheet/PdfSheet.h"
#endif

namespace taxlink::sheet {

namespace {

struct Options {
  std::string report;
  std::string earlier;  // --compare
  std::string output;
  std::string pdf;
  std::string trace;     // --trace
  std::string findings;  // the bookkeeping check's findings file
  bool force = false;
  bool elements = false;
};

int Refuse(const std::string& message, int status = kSheetRefused) {
  std::cerr << "taxlink-sheet: " << message << "\n";
  return status;
}

// A report read, validated and described; false with the message.
bool LoadReport(const std::string& path, ReportContent* content, FileFacts* facts,
                std::string* error) {
  std::string bytes;
  if (!ReadSheetInput(path, &bytes, error)) return false;
  ReportProblem problem;
  if (!ParseReport(bytes, content, &problem)) {
    *error = path + " is not a valid report: " + problem.Text();
    return false;
  }
  *facts = FactsOf(path, bytes);
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

// The findings file read and checked; false with the message.
bool LoadFindings(const std::string& path, CheckFindings* findings, std::string* error) {
  std::string bytes;
  if (!ReadSheetInput(path, &bytes, error)) return false;
  if (!ParseFindings(bytes, findings, error)) {
    *error = path + " is not a findings file: " + *error;
    return false;
  }
  return true;
}

int Run(const Options& options) {
  if (options.elements) {
    std::cout << ElementCatalogMarkdown();
    if (!options.trace.empty()) {
      std::string trace, error;
      if (!ReadSheetInput(options.trace, &trace, &error)) return Refuse(error);
      std::cout << WorkedExamplesMarkdown(trace);
    }
    return kSheetWritten;
  }
#ifndef TAXLINK_WITH_SHEET_PDF
  if (!options.pdf.empty()) {
    return Refuse(
        "--pdf needs the desktop build (Qt 6, CMake option TAXLINK_DESKTOP_UI); "
        "this program was built without it",
        kSheetUsage);
  }
#endif
  std::string error;
  ReportContent report, earlier;
  FileFacts reportFacts, earlierFacts;
  const bool compare = !options.earlier.empty();
  if (!LoadReport(options.report, &report, &reportFacts, &error)) return Refuse(error);
  if (compare && !LoadReport(options.earlier, &earlier, &earlierFacts, &error)) {
    return Refuse(error);
  }
  if (compare && !options.force && DifferentCompanies(earlier, report)) {
    return Refuse(options.earlier + " and " + options.report +
                  " are reports of different companies; --force compares them anyway");
  }

  CheckFindings findings;
  if (!options.findings.empty() && !LoadFindings(options.findings, &findings, &error)) {
    return Refuse(error);
  }

  Sheet sheet = compare ? BuildCompareSheet(earlier, earlierFacts, report, reportFacts)
                        : BuildSingleSheet(report, reportFacts);
  const std::string output =
      !options.output.empty()
          ? options.output
          : DefaultSheetPath(options.report, compare ? ".compare.html" : ".html");
  if (!options.trace.empty() && compare) {
    return Refuse("--trace makes the sheet of one report, not --compare", kSheetUsage);
  }
  if (!AddFindingsAndTrace(&sheet, options.findings.empty() ? nullptr : &findings, options.trace,
                           reportFacts.sha256, output, &error)) {
    return Refuse(error);
  }
  for (const std::string& target : {output, options.pdf}) {
    if (target.empty()) continue;
    if (SameFile(target, options.report) || (compare && SameFile(target, options.earlier))) {
      return Refuse(target + " is a report; the sheet is written elsewhere");
    }
  }
  const std::string html = RenderHtml(sheet);
  if (!WriteSheetFile(output, html, &error)) return Refuse(error);
  std::cout << output << "\n";
#ifdef TAXLINK_WITH_SHEET_PDF
  if (!options.pdf.empty()) {
    if (!WritePdf(html, sheet.landscape, options.pdf, &error)) return Refuse(error);
    std::cout << options.pdf << "\n";
  }
#endif
  return kSheetWritten;
}

}  // namespace

int RunSheetCommand(int argc, char** argv) {
  CLI::App app{
      "Writes the check sheet of a consumption-tax report: an HTML page (and a PDF) with the "
      "report's figures under their Japanese labels, made from the report file alone.",
      "taxlink-sheet"};
  app.set_version_flag("--version",
                       std::string("taxlink-sheet ") + LoadStringResource(kIdsComponentVersion));
  Options options;
  app.add_option("REPORT", options.report, "the report file (Shift_JIS XML)");
  app.add_option("-o,--output", options.output,
                 "the HTML sheet (default: beside the report, .html; with --compare "
                 ".compare.html)");
  app.add_option("--compare", options.earlier,
                 "an earlier report of the same company: one sheet of both with the differences")
      ->type_name("EARLIER");
  app.add_option("--findings", options.findings,
                 "the bookkeeping check's findings for the report's data set and months (as "
                 "`mvhost launch --sheet` gives them, or the list of `mvhost check --json`)")
      ->type_name("FILE");
  app.add_flag("--force", options.force, "compare reports of different companies");
  app.add_option("--trace", options.trace,
                 "the trace of the run that wrote the report (TAXLINK_TRACE): each figure opens "
                 "the lines behind it")
      ->type_name("TRACE");
  app.add_option("--pdf", options.pdf, "also write the sheet as PDF (A4)")->type_name("FILE");
  app.add_flag("--elements", options.elements,
               "print the list of the report's elements (Markdown) and exit; with --trace, "
               "the figures of that trace as worked examples after it");
  try {
    app.parse(argc, argv);
    if (!options.elements && options.report.empty()) {
      throw CLI::RequiredError("REPORT");
    }
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "taxlink-sheet: " << e.what() << "\n" << app.help();
    return kSheetUsage;
  }
  return Run(options);
}

}  // namespace taxlink::sheet
