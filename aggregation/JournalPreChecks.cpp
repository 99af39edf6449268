// The pre-checks on the journal lines of the month range: sixth business
// type, the 10 % rate and the undetermined import tax classes. Each check
// uses a rule object of its own, deleted before it returns.

#include <memory>

#include "aggregation/AddTaxDlg.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/RuleObjects.h"
#include "host/ClMsgMgr.h"
#include "host/ClRuleShiwake.h"
#include "host/HostStatus.h"

namespace taxlink {

namespace {

// The source-file name under which the checks record their failures.
constexpr const char kSourceName[] = "AddTax";
// Bit 3 of the host's rate flags: lines at the 10 % rate exist.
constexpr uint32_t kTenPercentBit = 0x08;

int32_t RecordStatus(int32_t code, int line) {
  if (code == kHostOk) return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
  return ClMsgMgr::Inst()->SetLastError(code, kSourceName, line);
}

}  // namespace

int32_t AddTaxDlg::CheckSixthBusinessTypeJournals(int32_t businessType, int32_t* count) {
  std::unique_ptr<ClRuleShiwake> rule = CreateRuleObject<ClRuleShiwake>();
  if (!rule) return RecordStatus(kCreateFailed, __LINE__);
  int32_t hostCount = count != nullptr ? *count : 0;
  int32_t status = rule->CheckExistSwkByJigyoBunrui(&filter, businessType, &hostCount);
  if (count != nullptr) *count = hostCount;
  if (status != kHostOk) return RecordStatus(status, __LINE__);
  return RecordStatus(kHostOk, 0);
}

int32_t AddTaxDlg::CheckTenPercentJournals(int32_t* found) {
  std::unique_ptr<ClRuleShiwake> rule = CreateRuleObject<ClRuleShiwake>();
  if (!rule) return RecordStatus(kCreateFailed, __LINE__);
  uint32_t flags = 0;
  int32_t status = rule->CheckExistSwkByZeiRate(&filter, &flags, 1);
  if (found != nullptr) *found = (flags & 0xFF & kTenPercentBit) != 0 ? 1 : 0;
  if (status != kHostOk) return RecordStatus(status, __LINE__);
  return RecordStatus(kHostOk, 0);
}

int AddTaxDlg::CheckImportTaxClassJournals() {
  std::unique_ptr<ClRuleShiwake> rule = CreateRuleObject<ClRuleShiwake>();
  if (!rule) return 0;
  NestedFilter importFilter;
  BuildImportTaxClassFilter(filter, &importFilter);
  int32_t count = 0;
  int32_t status = rule->GetSwkCount(&importFilter.top(), nullptr, &count);
  return status == kHostOk && count != 0 ? 1 : 0;
}

}  // namespace taxlink
