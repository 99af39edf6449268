#include "tests/support/ReportValidation.h"

#include <algorithm>

#include "sheet/ReportReader.h"

namespace taxlink::testing {

namespace {

// The output path of the last conditions dialog that ended with Run.
std::string OutputPathOf(const ProgramRunResult& run) {
  std::string path;
  for (const nlohmann::json& entry : run.transcript) {
    if (entry.value("event", "") != "dialog" || entry.value("id", 0) != 130 ||
        entry.value("result", 0) != 1005) {
      continue;
    }
    const nlohmann::json& fields = entry["fields"];
    if (fields.contains("1008")) path = fields["1008"].value("text", "");
  }
  return path;
}

}  // namespace

std::string WrittenReportProblem(const ProgramRunResult& run) {
  if (run.exitCode != 0) return {};
  std::string path = OutputPathOf(run);
  if (path.size() < 3 || (path.rfind("C:\\", 0) != 0 && path.rfind("c:\\", 0) != 0)) return {};
  path.erase(0, 2);
  std::replace(path.begin(), path.end(), '\\', '/');
  sheet::ReportContent content;
  sheet::ReportProblem problem;
  if (sheet::ReadReportFile(path, &content, &problem)) return {};
  return path + ": " + problem.Text();
}

}  // namespace taxlink::testing
