#ifndef TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_
#define TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "mvhost/cli/ConcurrentCheck.h"
#include "mvhost/cli/LaunchRunLog.h"
#include "mvhost/cli/RunTranscript.h"
#include "sheet/ReportContent.h"

namespace mvhost {

class HostStore;

// What a written sheet leaves for its caller, so that nothing of it is
// read or checked a second time: the report as the sheet read it and the
// bookkeeping check's findings.
struct SheetOutcome {
  // Set by the caller: check the books for the sheet (false: a sheet
  // without findings), and keep the text of the first findings; a check
  // already under way, whose findings the sheet takes when it covers the
  // run's months.
  bool check = true;
  size_t findingsTextLimit = 0;
  ConcurrentCheck* madeBeside = nullptr;

  std::string sheetPath;
  taxlink::sheet::ReportContent report;
  std::string reportSha256;
  int64_t reportSize = 0;
  bool checked = false;      // the check was made; the counts below are its own
  bool usedBeside = false;   // the findings are those of madeBeside
  int64_t findings = 0;      // all of them
  std::string findingsText;  // the first findingsTextLimit, one a line
};

// `mvhost launch --sheet`: the check sheet of the report a written run
// wrote, beside the report, with the bookkeeping check's findings for the
// run's data set and months, made in this process (the sheet library). The host learns where the
// report went and over which months from the run's transcript (the output path and months of the
// conditions dialog), so a run without TAXLINK_UI_TRANSCRIPT gets one in a private folder of this
// object, removed with it.
class SheetAfterLaunch {
 public:
  SheetAfterLaunch() = default;
  ~SheetAfterLaunch();
  SheetAfterLaunch(const SheetAfterLaunch&) = delete;
  SheetAfterLaunch& operator=(const SheetAfterLaunch&) = delete;

  // Before the program starts: sets TAXLINK_UI_TRANSCRIPT when it is not.
  bool Prepare(std::string* error);

  // The transcript the run writes.
  const std::string& TranscriptPath() const { return transcript_; }

  // After a written run whose transcript gave `taken`: checks the books once
  // and writes the sheet of the report with the findings (and the run's
  // trace, when not empty); false
  // with the reason otherwise (a check that could not be made is on the
  // sheet). The check reads `store` when it is open (the launch's
  // connection, kept from the run log's write), else the environment's home;
  // the report is the one the run log read when it read it.
  bool Write(const std::string& trace, const std::optional<TakenConditions>& taken,
             SheetOutcome* outcome, std::string* error, HostStore* store = nullptr,
             const LoggedReport* logged = nullptr);

 private:
  std::string transcript_;
  std::string ownFolder_;  // set when the transcript is this object's own
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_
