#include "sheet/ReportSheet.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sheet/FindingsSection.h"
#include "sheet/HtmlSheet.h"
#include "sheet/ReportReader.h"
#include "sheet/SingleSheet.h"
#include "sheet/TraceDrillDown.h"

namespace taxlink::sheet {

bool ReadSheetInput(const std::string& path, std::string* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read: " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    *error = path + ": cannot be read";
    return false;
  }
  *bytes = text.str();
  return true;
}

std::string DefaultSheetPath(const std::string& report, const std::string& extension) {
  std::filesystem::path path(report);
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".xml") path.replace_extension();
  return path.string() + extension;
}

bool WriteSheetFile(const std::string& path, const std::string& text, std::string* error) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      *error = "cannot write " + path + ": " + std::strerror(errno);
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, path, renameError);
  if (renameError) {
    *error = "cannot write " + path + ": " + renameError.message();
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

bool AddFindingsAndTrace(Sheet* sheet, const CheckFindings* findings, const std::string& trace,
                         const std::string& reportSha256, const std::string& output,
                         std::string* error) {
  if (findings != nullptr) {
    sheet->sections.insert(sheet->sections.begin() + (sheet->sections.empty() ? 0 : 1),
                           FindingsSection(*findings));
  }
  return trace.empty() || AddTraceDrillDown(sheet, trace, reportSha256, output, error);
}

bool ReportSheet::Make(std::string* error) {
  std::string own;
  if (reportBytes == nullptr && !ReadSheetInput(reportPath, &own, error)) return false;
  const std::string& bytes = reportBytes != nullptr ? *reportBytes : own;
  ReportProblem problem;
  if (!ParseReport(bytes, &content, &problem)) {
    *error = reportPath + " is not a valid report: " + problem.Text();
    return false;
  }
  facts = FactsOf(reportPath, bytes, reportBytes != nullptr ? reportSha256 : std::string());
  reportSize = static_cast<int64_t>(bytes.size());
  const std::string output = DefaultSheetPath(reportPath, ".html");
  Sheet sheet = BuildSingleSheet(content, facts);
  if (!AddFindingsAndTrace(&sheet, findings, trace, facts.sha256, output, error)) return false;
  html = RenderHtml(sheet);
  return true;
}

bool ReportSheet::WriteMade(std::string* error) {
  const std::string output = DefaultSheetPath(reportPath, ".html");
  if (!WriteSheetFile(output, html, error)) return false;
  sheetPath = output;
  return true;
}

bool ReportSheet::Write(std::string* error) { return Make(error) && WriteMade(error); }

}  // namespace taxlink::sheet
