#include "mvhost/cli/EarlySheet.h"

#include <exception>
#include <optional>
#include <utility>

#include "mvhost/cli/ConcurrentCheck.h"
#include "mvhost/cli/RunTranscript.h"
#include "mvhost/cli/SheetAfterLaunch.h"
#include "platform/winfs/PathMapping.h"

namespace mvhost {

void EarlySheet::Start(const std::string& reportPath, ConcurrentCheck* check, int startMonth,
                       int endMonth, bool programEnded) {
  if (started_) return;
  started_ = true;
  reportPath_ = reportPath;
  startMonth_ = startMonth;
  endMonth_ = endMonth;
  check_ = check != nullptr;
  thread_ = std::thread([this, check, programEnded] {
    try {
      // Findings over other months are not this sheet's: the launch makes
      // the sheet after the program then.
      if (check != nullptr &&
          !check->Take(startMonth_, endMonth_, &findings_, &findingsText_, programEnded)) {
        return;
      }
      sheet_.reportPath = reportPath_;
      sheet_.findings = check != nullptr ? &findings_ : nullptr;
      std::string ignored;  // the launch's own attempt says why
      made_ = sheet_.Make(&ignored);
    } catch (const std::exception&) {
      made_ = false;
    }
  });
}

void EarlySheet::Join() {
  if (thread_.joinable()) thread_.join();
}

bool EarlySheet::Finish(const TakenConditions* taken, const std::string& sha256,
                        SheetOutcome* outcome, bool* written, std::string* error) {
  Join();
  if (!made_ || taken == nullptr || taken->startMonth != startMonth_ ||
      taken->endMonth != endMonth_ || sha256.empty() || sha256 != sheet_.facts.sha256 ||
      outcome->check != check_) {
    return false;
  }
  const std::optional<std::string> report = platform::MapUtf8WindowsPath(taken->windowsPath);
  if (!report || *report != reportPath_) return false;
  *written = sheet_.WriteMade(error);
  if (!*written) return true;
  outcome->sheetPath = sheet_.sheetPath;
  outcome->report = std::move(sheet_.content);
  outcome->reportSha256 = sheet_.facts.sha256;
  outcome->reportSize = sheet_.reportSize;
  outcome->checked = check_ && findings_.checked;
  outcome->findings = findings_.total;
  outcome->findingsText = outcome->checked ? std::move(findingsText_) : std::string();
  outcome->usedBeside = check_;
  return true;
}

}  // namespace mvhost
