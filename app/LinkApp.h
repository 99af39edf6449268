#ifndef TAXLINK_APP_LINKAPP_H_
#define TAXLINK_APP_LINKAPP_H_

#include <cstdint>
#include <memory>
#include <string>

#include "aggregation/RunSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "host/StSaveTaxInfo.h"
#include "platform/WinTypes.h"
#include "report/ReportInputs.h"
#include "report/TaxSettingsSource.h"

class ClSetData;
class ClSetShohizei;

namespace taxlink {

// runResult values.
constexpr int32_t kRunWritten = 0;
constexpr int32_t kRunStopped = 1;
constexpr int32_t kRunFailed = 2;
// The process exit status when the host refused the link and nothing was
// done (runResult stays 0 and nothing is posted; the status tells it from
// a written report).
constexpr int kExitLinkRefused = 3;
// The process exit status when the run cannot start (the environment names
// a user-interface script that cannot be read).
constexpr int kExitCannotStart = 2;

// The caption of every message box of the program.
inline constexpr char kMessageCaption[] = "消費税";

// The one application object: what the host said on the command line, the
// result reported back, cached host objects, the figures of the run and the
// three settings bytes of the company's consumption-tax settings. The lower
// layers get what they need of it as values (RunSettings, TaxSummaryTables,
// ReportInputs) or through TaxSettingsSource.
class LinkApp : public TaxSettingsSource {
 public:
  LinkApp() = default;
  ~LinkApp() override = default;
  LinkApp(const LinkApp&) = delete;
  LinkApp& operator=(const LinkApp&) = delete;

  // The run: TRUE when the report file was written, FALSE on every other exit.
  BOOL InitInstance();
  // Closes the host link and, when the host launched the run, notifies it.
  int ExitInstance();

  // Host launch values (ParseHostCommandLine).
  int32_t launchedByHost = 0;
  HWND hostWindow = 0;
  int32_t hostNotifyMessage = 0;
  int16_t functionId = 1;
  std::string hostText;        // Shift_JIS
  HWND hostWindowObject = 0;   // parent of the conditions dialog, 0 for none

  int32_t runResult = kRunWritten;
  // ClAccConnect::Initiate refused the link: the run returned at once.
  bool linkRefused = false;
  // The process exit status: runResult, or kExitLinkRefused.
  int ExitStatus() const { return linkRefused ? kExitLinkRefused : runResult; }

  // Host set objects, fetched on first use; owned by the host.
  ClSetData* dataSetCache = nullptr;
  ClSetShohizei* taxSetCache = nullptr;

  // The figures of the run.
  TaxSummaryTables tables;
  // The saved consumption-tax return (15360 bytes), none until allocated.
  std::unique_ptr<StSaveTaxInfo> savedReturn;

  // Settings bytes, set by ConditionText.
  RunSettings runSettings;

  // The process command line (the arguments, Shift_JIS), set before the run.
  std::string commandLine;

  // Host reads shared by several steps of the run.
  // The selected data set: true when found (out is zero-filled first).
  // hostError (optional) receives the first failure code of the reads
  // (the user, the selection, the walk; 0 when none failed).
  bool LoadSelectedDataSet(StDATAINFO* out, int32_t* hostError = nullptr);
  // The consumption-tax settings of a data set: false when the host read
  // failed (out untouched).
  bool ReadTaxSettings(StSHOHIZEIINFO* out, const StDATAINFO& dataSet) override;
  // What the report reads of the run.
  ReportInputs reportInputs() const {
    return ReportInputs{tables, runSettings, savedReturn.get(), functionId};
  }
  // First day (yyyymmdd) of the accounting month named month; 0 on failure.
  int32_t MonthStartDate(int16_t month);
};

// The process's one application object.
LinkApp& TheApp();

}  // namespace taxlink

#endif  // TAXLINK_APP_LINKAPP_H_
