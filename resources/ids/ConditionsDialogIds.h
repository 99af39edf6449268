#ifndef TAXLINK_RESOURCES_IDS_CONDITIONSDIALOGIDS_H_
#define TAXLINK_RESOURCES_IDS_CONDITIONSDIALOGIDS_H_

// The conditions dialog's number and control ids: the dialog's template and
// the host's tools that drive the dialog by script (the batch) share them.
namespace taxlink {

// Dialog 130 and its control ids.
constexpr int kIddConditions = 130;
constexpr int kIdcCompanyLabel = 1000;
constexpr int kIdcPeriodLabel = 1001;
constexpr int kIdcFilingClassLabel = 1002;
constexpr int kIdcFourthRowLabel = 1003;  // display text 3
constexpr int kIdcMonthRangeLabel = 1004;
constexpr int kIdcRunButton = 1005;
constexpr int kIdcCancelButton = 1006;
constexpr int kIdcOutputGroup = 1007;
constexpr int kIdcOutputPath = 1008;
constexpr int kIdcBrowseButton = 1009;
constexpr int kIdcCompanyName = 1010;     // display text 0
constexpr int kIdcPeriodText = 1011;      // display text 1
constexpr int kIdcFilingClass = 1012;     // display text 2
constexpr int kIdcFourthRowValue = 1013;  // display text 4
constexpr int kIdcStartMonth = 1014;
constexpr int kIdcStartMonthLabel = 1015;
constexpr int kIdcEndMonth = 1016;
constexpr int kIdcEndMonthLabel = 1017;
constexpr int kIdcRangeDash = 1018;
constexpr int kIdcByJournals = 1029;
constexpr int kIdcMethodGroup = 1030;
constexpr int kIdcSavedReturnValues = 1031;
constexpr int kIdcSavedValuesTip = 1032;

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_IDS_CONDITIONSDIALOGIDS_H_
