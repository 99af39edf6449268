#include "mvhost/cli/SheetAfterLaunch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "mvhost/cli/RunTranscript.h"
#include "mvhost/cli/SheetCheck.h"
#include "mvhost/cli/WholeFile.h"
#include "mvhost/lib/HostStore.h"
#include "platform/winfs/PathMapping.h"
#include "sheet/FindingsFile.h"
#include "sheet/ReportSheet.h"

namespace mvhost {

namespace {

constexpr char kTranscriptVariable[] = "TAXLINK_UI_TRANSCRIPT";

}  // namespace

SheetAfterLaunch::~SheetAfterLaunch() {
  if (!ownFolder_.empty()) {
    ::unlink(transcript_.c_str());
    ::rmdir(ownFolder_.c_str());
  }
}

bool SheetAfterLaunch::Prepare(std::string* error) {
  const char* set = std::getenv(kTranscriptVariable);
  if (set != nullptr && *set != '\0') {
    transcript_ = set;
    return true;
  }
  std::string reason;
  ownFolder_ = MakePrivateFolder("mvhost-sheet", &reason);
  if (ownFolder_.empty()) {
    *error = "cannot create a folder for the run's transcript: " + reason;
    return false;
  }
  transcript_ = ownFolder_ + "/transcript.jsonl";
  ::setenv(kTranscriptVariable, transcript_.c_str(), 1);
  return true;
}

bool SheetAfterLaunch::Write(const std::string& trace, const std::optional<TakenConditions>& taken,
                             SheetOutcome* outcome, std::string* error, HostStore* store,
                             const LoggedReport* logged) {
  const TakenConditions run = taken.value_or(TakenConditions());
  const std::string& windowsPath = run.windowsPath;
  if (windowsPath.empty()) {
    *error = "the run's transcript " + transcript_ + " names no output path";
    return false;
  }
  const std::optional<std::string> report = platform::MapUtf8WindowsPath(windowsPath);
  if (!report) {
    *error = "the output path " + windowsPath + " is on no mapped drive (" +
             platform::DriveMapSetting() + ")";
    return false;
  }

  // The findings go to the sheet as the findings file gives them, so that
  // the sheet shows the same as `taxlink-sheet --findings`.
  taxlink::sheet::CheckFindings findings;
  size_t kept = 0;
  bool madeBeside = false;
  if (outcome->check) {
    // The check made while the program ran, when it covers the run's months.
    madeBeside =
        outcome->madeBeside != nullptr &&
        outcome->madeBeside->Take(run.startMonth, run.endMonth, &findings, &outcome->findingsText);
    if (!madeBeside && (run.startMonth == 0 || run.endMonth == 0)) {
      findings.error = "the run's transcript names no months";
    } else if (!madeBeside) {
      SheetCheckRequest request;
      request.startMonth = run.startMonth;
      request.endMonth = run.endMonth;
      request.each = [&](const CheckFinding& finding) {
        if (kept == outcome->findingsTextLimit) return false;
        outcome->findingsText += finding.Text() + "\n";
        return ++kept < outcome->findingsTextLimit;
      };
      const bool made =
          store != nullptr && store->db() != nullptr
              ? SheetCheck(store, std::string(), request, &findings, error)
              : SheetCheck(HostStore::HomeFromEnvironment(), request, &findings, error);
      if (!made) {
        *error = "the check's findings cannot be read: " + *error;
        return false;
      }
    }
  }
  taxlink::sheet::ReportSheet sheet;
  sheet.reportPath = *report;
  if (logged != nullptr && logged->path == *report) {
    sheet.reportBytes = &logged->bytes;
    sheet.reportSha256 = logged->sha256;
  }
  sheet.findings = outcome->check ? &findings : nullptr;
  sheet.trace = trace;
  if (!sheet.Write(error)) return false;
  outcome->sheetPath = sheet.sheetPath;
  outcome->report = std::move(sheet.content);
  outcome->reportSha256 = sheet.facts.sha256;
  outcome->reportSize = sheet.reportSize;
  outcome->checked = findings.checked;
  outcome->usedBeside = madeBeside;
  outcome->findings = findings.total;
  if (!findings.checked) outcome->findingsText.clear();
  return true;
}

}  // namespace mvhost
