#ifndef TAXLINK_CONDITIONS_CONDITIONSDIALOG_H_
#define TAXLINK_CONDITIONS_CONDITIONSDIALOG_H_

#include <cstdint>
#include <string>

#include "conditions/RunConditions.h"
#include "host/ClToolTipMgr.h"
#include "platform/dialog/Dialog.h"
#include "platform/text/WinTypes.h"
#include "resources/ConditionsDialogTemplate.h"

namespace taxlink {

// Results of the conditions dialog.
constexpr int kConditionsRun = 1005;                    // the checks passed
constexpr int kConditionsCancelled = kIdcCancelButton;  // cancelled or refused

// The modal dialog in which the user sets the conditions of a run: month
// range, aggregation method and output file. The run driver fills the inputs
// below, calls DoModal, reads GetRunConditions after kConditionsRun and
// finally SaveRememberedOutputPath.
class ConditionsDialog : public platform::Dialog {
 public:
  explicit ConditionsDialog(HWND parent);
  ~ConditionsDialog() override;

  // Inputs, set before DoModal.
  std::string userId;  // at most 64 bytes
  int32_t selectedNo1 = 0;
  int32_t selectedNo2 = 0;
  std::string hostOutputPath;  // empty unless the host fixed the output path
  int32_t periodStart = 0;     // yyyymmdd
  int32_t periodEnd = 0;
  // The period's first and last accounting month, as GetPeriodMonthRange
  // gives them (the run reads them once, before the dialog).
  int16_t periodMonths[2] = {0, 0};
  int16_t savedMonths[2] = {0, 0};  // months of the saved return
  int32_t savedReturnUsable = 0;
  int32_t pastResultsData = 0;
  // Company, accounting period, filing class, caption and value of the
  // fourth row.
  std::string displayTexts[5];
  int16_t filingClassCode = 0;  // 0 exempt, 1 simplified, 2 standard taxation

  // Shows the dialog until it ends; kConditionsRun or kConditionsCancelled
  // (or what the framework gave).
  int DoModal();
  // The conditions of the closed dialog.
  RunConditions GetRunConditions() const;

  // The user's record in the remembered-path file; outputs are written only
  // when a usable record is found. pathBuffer holds 261 bytes.
  bool ReadRememberedOutputPath(int16_t* startMonth, int16_t* endMonth, char* pathBuffer,
                                int32_t* method);
  // Replaces the user's record; without a path the one read when the dialog
  // opened is kept.
  bool SaveRememberedOutputPath(int16_t startMonth, int16_t endMonth, const char* pathOrNull,
                                int32_t method);

  // Dialog state, for checks.
  int32_t PathFixedByHost() const { return pathFixedByHost_; }
  const std::string& RememberedPath() const { return rememberedPath_; }

  // The 実行 action: checks the month range and the output path and ends
  // the dialog with kConditionsRun when all pass.
  void OnRun();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(bool saveAndValidate) override;
  void OnCommand(int id) override;
  bool PreTranslateKeyDown(int virtualKey, unsigned modifiers) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void ShowMonths(const int16_t months[2]);
  void SwitchMethod(int clickedId);
  void Browse();
  void Cancel();
  // A refusal: the message, then the field focused with its text selected.
  void Refuse(const char* message, int fieldId);
  int Ask(const char* question);
  bool RememberedFolder(std::string* folder) const;
  bool RememberedKey(std::string* key) const;

  std::string startMonthText_;
  std::string endMonthText_;
  std::string outputPathText_;
  int32_t aggregationMethod_ = 0;
  int16_t journalMonths_[2] = {0, 0};
  int32_t pathFixedByHost_ = 0;
  std::string rememberedPath_;  // at most 260 bytes
  ClToolTipMgr toolTips_;
};

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_CONDITIONSDIALOG_H_
