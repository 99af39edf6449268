#include "mvhost/cli/ConcurrentCheck.h"

#include <exception>

#include "mvhost/lib/SheetFindings.h"

namespace mvhost {

ConcurrentCheck::~ConcurrentCheck() { Wait(); }

void ConcurrentCheck::Wait() {
  if (thread_.joinable()) thread_.join();
}

void ConcurrentCheck::Start(const std::string& home, int32_t dataNo, int startMonth, int endMonth,
                            size_t textLimit) {
  if (made_) return;
  made_ = true;
  startMonth_ = startMonth;
  endMonth_ = endMonth;
  thread_ = std::thread([this, home, dataNo, textLimit] {
    size_t kept = 0;
    try {
      json_ = DataSetFindingsJson(home, dataNo, startMonth_, endMonth_, kSheetListedFindings,
                                  [&](const CheckFinding& finding) {
                                    if (kept == textLimit) return false;
                                    text_ += finding.Text() + "\n";
                                    return ++kept < textLimit;
                                  });
    } catch (const std::exception& e) {
      // Said on the sheet as a check that could not be made.
      json_ = SheetFindingsFailure(e.what());
      text_.clear();
    }
  });
}

bool ConcurrentCheck::Take(int startMonth, int endMonth, std::string* json, std::string* text) {
  Wait();
  if (!made_ || startMonth != startMonth_ || endMonth != endMonth_) return false;
  made_ = false;
  *json = std::move(json_);
  *text = std::move(text_);
  return true;
}

}  // namespace mvhost
