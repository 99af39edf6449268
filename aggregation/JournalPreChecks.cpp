#include "aggregation/JournalPreChecks.h"

#include <memory>

#include "aggregation/JournalFilters.h"
#include "aggregation/RuleObjects.h"
#include "host/ClMsgMgr.h"
#include "host/ClRuleShiwake.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

// The source-file name under which the checks record their failures.
constexpr const char kSourceName[] = "AddTax";
// Bit 3 of the host's rate flags: lines at the 10 % rate exist.
constexpr uint32_t kTenPercentBit = 0x08;

// Registers a host call's code (with this unit and line when it is not 0)
// and converts what the message manager returns.
Status Registered(int32_t code, int line, const char* where) {
  const int32_t registered = code == 0 ? ClMsgMgr::Inst()->SetLastError(0, nullptr, 0)
                                       : ClMsgMgr::Inst()->SetLastError(code, kSourceName, line);
  return HostResult(registered, where);
}

// A check whose rule object could not be made ready: the host's code (or
// the program's -1001 for an object not created) is registered like a
// failed check; a failure without a code is handed on as it is.
Status Unprepared(const Status& status, int line, const char* where) {
  if (status.hostCode() == 0) return status;
  return Registered(status.hostCode(), line, where);
}

}  // namespace

Status JournalPreChecks::CheckSixthBusinessTypeJournals(int32_t businessType, int32_t* count) {
  constexpr char kWhere[] = "ClRuleShiwake::CheckExistSwkByJigyoBunrui";
  std::unique_ptr<ClRuleShiwake> rule;
  Status created = CreateRuleObject(&rule);
  if (!created.ok()) return Unprepared(created, __LINE__, kWhere);
  int32_t hostCount = count != nullptr ? *count : 0;
  const int line = __LINE__ + 1;
  int32_t code = rule->CheckExistSwkByJigyoBunrui(&monthRange_, businessType, &hostCount);
  if (count != nullptr) *count = hostCount;
  return Registered(code, line, kWhere);
}

Status JournalPreChecks::CheckTenPercentJournals(int32_t* found) {
  constexpr char kWhere[] = "ClRuleShiwake::CheckExistSwkByZeiRate";
  std::unique_ptr<ClRuleShiwake> rule;
  Status created = CreateRuleObject(&rule);
  if (!created.ok()) return Unprepared(created, __LINE__, kWhere);
  uint32_t flags = 0;
  const int line = __LINE__ + 1;
  int32_t code = rule->CheckExistSwkByZeiRate(&monthRange_, &flags, 1);
  if (found != nullptr) *found = (flags & 0xFF & kTenPercentBit) != 0 ? 1 : 0;
  return Registered(code, line, kWhere);
}

Status JournalPreChecks::CheckImportTaxClassJournals(bool* found) {
  *found = false;
  std::unique_ptr<ClRuleShiwake> rule;
  Status status = CreateRuleObject(&rule);
  if (!status.ok()) return status;
  NestedFilter importFilter;
  BuildImportTaxClassFilter(monthRange_, &importFilter);
  int32_t count = 0;
  status = HostCallResult(rule->GetSwkCount(&importFilter.top(), nullptr, &count),
                          "ClRuleShiwake::GetSwkCount");
  *found = status.ok() && count != 0;
  return status;
}

}  // namespace taxlink
