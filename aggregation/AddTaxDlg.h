#ifndef TAXLINK_AGGREGATION_ADDTAXDLG_H_
#define TAXLINK_AGGREGATION_ADDTAXDLG_H_

#include <cstdint>
#include <memory>

#include "aggregation/AccountList.h"
#include "aggregation/RunSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "aggregation/ProgressDialog.h"
#include "host/StBUMONINFO.h"
#include "host/StDATAINFO.h"
#include "host/StFINDINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "platform/WinTypes.h"

class ClRuleGenkashokyaku;
class ClRuleKamoku;
class ClRuleShiwake;
class ClRuleShohizei;
class ClRuleShohizeiShinkoku;

namespace taxlink {

struct MonthRange;

// The progress window that also carries one journal aggregation: the
// month-range filter, copies of two tax settings, the host rule objects it
// creates on first use, and the list of selected accounts. The passes run in
// the order SumTaxReturn, WalkLegacyRates, SumCorporateRefundLines,
// SumIndividualRefundLines, each filling its part of TaxSummaryTables.
class AddTaxDlg : public ProgressDialog {
 public:
  explicit AddTaxDlg(HWND parent = 0);
  // Takes the filing class and main business type of the run.
  explicit AddTaxDlg(const RunSettings& settings);
  ~AddTaxDlg() override;

  // Fills filter from the data set's accounting period and the calendar
  // months startMonth..endMonth (1..12).
  void BuildAggregationFilter(const StDATAINFO& dataSet, int startMonth, int endMonth);

  // Pre-checks. The first two return the status registered with the host's
  // message manager (0 when all went well).
  int32_t CheckSixthBusinessTypeJournals(int32_t businessType, int32_t* count);
  int32_t CheckTenPercentJournals(int32_t* found);
  // 1 when journal lines with an undetermined import tax class exist, else 0
  // (also on any failure).
  int CheckImportTaxClassJournals();

  // The tax-return figures per rate and business type. 1 on completion, 0
  // when the tax settings or the rule object are missing.
  int SumTaxReturn(TaxSummaryTables& tables);
  // The 5 % (index 0) and 3 % (index 1) sums of the legacy-rate accounts.
  int WalkLegacyRates(int64_t legacyRateSums[2], const StSHOHIZEIINFO& settings);
  // Refills accountList with the accounts of a selection list (1..3).
  // 1 when the accounts were walked, 0 otherwise (the list is then empty).
  int BuildAccountList(int list);
  // Refund statement lines; each does nothing (returns 1) for the other
  // kind of organisation.
  int SumCorporateRefundLines(TaxSummaryTables& tables, const StDATAINFO& dataSet,
                              const StSHOHIZEIINFO& settings);
  int SumIndividualRefundLines(TaxSummaryTables& tables, const StDATAINFO& dataSet,
                               const StSHOHIZEIINFO& settings);

  StFINDINFO filter;
  uint8_t filingClassCopy = 0;
  uint8_t mainBusinessTypeCopy = 0;

  const AccountList& accountList() const { return accountList_; }

  // The first host failure a pass met (any status but 0 and the end of data
  // 5000, a rule object that could not be created included), or 0. A pass
  // stops at it; figures summed past a failure would be wrong, so the run
  // driver fails the run with it.
  int32_t hostError() const { return hostError_; }

 private:
  // Notes the status of a host call; true when the pass may go on.
  bool HostOk(int32_t status);
  // Notes a failure that ends a pass; returns the pass's result 0.
  int HostFailure(int32_t status) {
    HostOk(status);
    return 0;
  }

  int32_t IndividualAccountSumWalk(const StBUMONINFO* department, uint8_t incomeKind,
                                   const MonthRange& range, bool interimClosing,
                                   bool taxIncluded, TaxSummaryTables& tables);
  int32_t IndividualJournalStage(uint8_t incomeKind, bool taxIncluded, TaxSummaryTables& tables);
  int32_t IndividualFixedAssetStage(uint8_t incomeKind, const MonthRange& range,
                                    TaxSummaryTables& tables);

  // Cached rule objects, created on first use and deleted with the dialog.
  std::unique_ptr<ClRuleShohizeiShinkoku> taxReturnRule_;
  std::unique_ptr<ClRuleShohizei> taxSumRule_;
  std::unique_ptr<ClRuleShiwake> journalRule_;
  std::unique_ptr<ClRuleKamoku> accountSumRule_;
  std::unique_ptr<ClRuleGenkashokyaku> fixedAssetRule_;
  AccountList accountList_;
  int32_t hostError_ = 0;
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ADDTAXDLG_H_
