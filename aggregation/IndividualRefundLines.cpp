// The individual refund statement lines, split by kind of income: book
// amounts from the account sums per department, non-taxable parts from
// journal lines (routed by the department of each side), and the fixed
// assets acquired in the period.

#include <cstring>
#include <climits>
#include <memory>
#include <unordered_map>
#include <vector>

#include "aggregation/AccountClasses.h"
#include "aggregation/AccountIndex.h"
#include "aggregation/AddTaxDlg.h"
#include "aggregation/AggregationFilter.h"
#include "aggregation/IndividualRouting.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/PeriodAmount.h"
#include "aggregation/RawAmount.h"
#include "aggregation/RuleObjects.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClSetBumon.h"
#include "host/ClSetData.h"
#include "host/ClSetMgr.h"
#include "host/HostStatus.h"

namespace taxlink {

namespace {

constexpr int32_t kCursorTypeJournal = 4;
constexpr int32_t kDepartmentSumType = 4;
constexpr uint8_t kAssetIncomeBusiness = 1;
constexpr uint8_t kAssetIncomeRealEstate = 2;

bool IsIndividual(const StDATAINFO& dataSet) {
  return dataSet.entityKind == 3 || dataSet.entityKind == 4;
}

ClSetBumon* DepartmentSet() {
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return nullptr;
  return dynamic_cast<ClSetBumon*>(setMgr->GetSetObject(kSetKindDepartments, 1));
}

ClSetData* DataSetsOfSetManager() {
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return nullptr;
  return dynamic_cast<ClSetData*>(setMgr->GetSetObject(kSetKindDataSets, 1));
}

// Adds (or, for a credit side, subtracts) an amount to the lines the routing
// chooses for the account's group; the real-estate side has no purchases line.
enum class Column { kBook, kNonTaxable };

void AddToLine(RefundLine& line, Column column, int64_t amount) {
  int64_t& field = column == Column::kBook ? line.bookAmount : line.nonTaxablePart;
  field = AddRaw(field, amount);
}

void RouteAmount(IndividualGroup group, const IncomeRouting& routing, Column column,
                 int64_t amount, TaxSummaryTables& tables) {
  if (group == IndividualGroup::kPurchases) {
    if (routing.business) AddToLine(tables.indBusinessPurchases, column, amount);
    if (routing.other) AddToLine(tables.indOtherPurchases, column, amount);
  } else if (group == IndividualGroup::kExpenses) {
    if (routing.business) AddToLine(tables.indBusinessExpenses, column, amount);
    if (routing.realEstate) AddToLine(tables.indRealEstateExpenses, column, amount);
    if (routing.other) AddToLine(tables.indOtherExpenses, column, amount);
  }
}

// Looks a department up by code; a code the host does not know yields a
// zeroed record rather than the previous line's department. *status is the
// host's failure, or 0 (an unknown code is no failure).
StBUMONINFO LookUpDepartment(ClSetBumon* departments, bool haveCursor, int32_t cursor,
                             int32_t code, int32_t* status) {
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  *status = kHostOk;
  if (departments != nullptr && haveCursor) {
    int32_t result = departments->ReadyCursor(cursor);
    if (result == kHostOk) result = departments->GetInfoByCode(cursor, code, &department);
    if (result < 0) *status = result;
  }
  return department;
}

}  // namespace

int32_t AddTaxDlg::IndividualAccountSumWalk(const StBUMONINFO* department, uint8_t incomeKind,
                                            const MonthRange& range, bool interimClosing,
                                            bool taxIncluded, TaxSummaryTables& tables) {
  std::unique_ptr<ClRuleKamoku> rule = CreateRuleObject<ClRuleKamoku>();
  if (!rule) return kCreateFailed;
  const int32_t deptSumType =
      department != nullptr && (department->kind == 1 || department->kind == 2)
          ? kDepartmentSumType
          : 0;
  int32_t status = rule->MoveReady(1, deptSumType, 0, &filter, department, 0);
  if (status != kHostOk) return status;

  StBUMONINFO noDepartment;
  std::memset(&noDepartment, 0, sizeof(noDepartment));
  const IncomeRouting routing = RouteIndividualAmount(
      incomeKind, department != nullptr, department != nullptr ? *department : noDepartment);
  for (;;) {
    StKAMOKUSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    status = rule->MoveNext(&record);
    if (status != kHostOk) break;
    if (record.excluded1 != 0 || record.excluded2 == 1) continue;

    const PeriodTotals totals = SumPeriodEntries(record, range, interimClosing, taxIncluded);
    // Balance side 1 or 2: debit minus credit; otherwise credit minus debit.
    int64_t amount = record.balanceSide == 1 ? SubtractRaw(totals.debit, totals.credit)
                                             : SubtractRaw(totals.credit, totals.debit);
    if (record.balanceSide == 2) amount = SubtractRaw(0, amount);

    const IndividualGroup group = IndividualGroupOfClass(record.classCode);
    if (group == IndividualGroup::kNone || record.totalFlag == 1) continue;
    RouteAmount(group, routing, Column::kBook, amount, tables);
  }
  if (status == kHostEndOfData) status = kHostOk;
  rule->MoveFinish();
  return status;
}

int32_t AddTaxDlg::IndividualJournalStage(uint8_t incomeKind, bool taxIncluded,
                                          TaxSummaryTables& tables) {
  if (BuildAccountList(ACCOUNT_CLASS_INDIVIDUAL) == 0 && hostError_ != 0) return hostError_;
  NestedFilter journalFilter;
  BuildNonTaxablePurchaseFilter(filter, &journalFilter);
  int32_t lineCount = 0;
  int32_t status = journalRule_->GetSwkCount(&journalFilter.top(), nullptr, &lineCount);
  if (status == kHostOk) {
    status = journalRule_->MoveReady(&journalFilter.top(), nullptr, nullptr, kCursorTypeJournal);
  }

  ClSetBumon* departments = DepartmentSet();
  int32_t cursor = 0;
  bool haveCursor = false;
  int32_t departmentCount = 0;
  if (status == kHostOk && departments != nullptr) {
    status = departments->GetCursor(&cursor);
    haveCursor = status == kHostOk;
    departmentCount = departments->GetBmnCount(0);
    if (status == kHostOk && departmentCount < 0) status = departmentCount;
  }
  const bool departmentsExist = departmentCount > 0;
  const AccountIndex index(accountList_);
  std::vector<std::size_t> matches;
  // A department's record does not change during the pass: each code is
  // looked up once.
  std::unordered_map<int32_t, StBUMONINFO> departmentsByCode;
  auto departmentOf = [&](int32_t code) -> const StBUMONINFO& {
    auto found = departmentsByCode.find(code);
    if (found != departmentsByCode.end()) return found->second;
    StBUMONINFO record = LookUpDepartment(departments, haveCursor, cursor, code, &status);
    return status == kHostOk ? departmentsByCode.emplace(code, record).first->second
                             : departmentsByCode[INT32_MIN];
  };

  while (status == kHostOk) {
    StSWKTINFO line;
    std::memset(&line, 0, sizeof(line));
    status = journalRule_->MoveNext(&line);
    if (status != kHostOk) break;
    const int64_t debitValue = JournalSideValue(line.debitAmount, line.debitTax, taxIncluded);
    const int64_t creditValue = JournalSideValue(line.creditAmount, line.creditTax, taxIncluded);
    // The listed accounts the line can match, in list order.
    index.Matches(line.debitAccountId, line.creditAccountId, &matches);
    for (std::size_t position : matches) {
      const StKAMOKUINFO& account = accountList_[position];
      const IndividualGroup group = IndividualGroupOfClass(account.classCode);
      if (group == IndividualGroup::kNone) continue;
      if (line.debitAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.debitTaxClass)) {
        const StBUMONINFO& department = departmentOf(line.debitDeptCode);
        if (status != kHostOk) break;
        RouteAmount(group, RouteIndividualAmount(incomeKind, departmentsExist, department),
                    Column::kNonTaxable, debitValue, tables);
      }
      if (line.creditAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.creditTaxClass)) {
        const StBUMONINFO& department = departmentOf(line.creditDeptCode);
        if (status != kHostOk) break;
        RouteAmount(group, RouteIndividualAmount(incomeKind, departmentsExist, department),
                    Column::kNonTaxable, SubtractRaw(0, creditValue), tables);
      }
    }
  }
  // The query is finished on every path so the cached object holds none open.
  journalRule_->MoveFinish();
  if (haveCursor) departments->ReleaseCursor(cursor);
  return status == kHostEndOfData ? kHostOk : status;
}

int32_t AddTaxDlg::IndividualFixedAssetStage(uint8_t incomeKind, const MonthRange& range,
                                             TaxSummaryTables& tables) {
  ClAccPeriod* periodObject = nullptr;
  if (ClSetData* dataSets = DataSetsOfSetManager()) dataSets->GetAccPeriod(&periodObject);
  std::unique_ptr<ClAccPeriod> period(periodObject);
  int32_t from = 0;
  int32_t to = 0;
  int32_t unused = 0;
  if (period) {
    period->GetPeriodByMonthKind(range.startKind, &from, &unused, 0);
    period->GetPeriodByMonthKind(range.endKind, &unused, &to, 0);
  }

  std::unique_ptr<ClRuleGenkashokyaku> rule = CreateRuleObject<ClRuleGenkashokyaku>();
  if (!rule) return kCreateFailed;
  StFINDINFO assetFilter = AssetDateFilter(from, to);
  int32_t status = rule->MoveReady(&assetFilter, 0, 0);
  const int32_t assetCount = status == kHostOk ? rule->GetCount() : 0;
  if (assetCount < 0) status = assetCount;

  auto year = std::make_unique<StKOTEINENINFO>();
  auto month = std::make_unique<StKOTEITSUKIINFO>();
  for (int32_t i = 0; status == kHostOk && i < assetCount; ++i) {
    detailTick();
    StKOTEISHISANINFO asset;
    std::memset(&asset, 0, sizeof(asset));
    std::memset(year.get(), 0, sizeof(*year));
    std::memset(month.get(), 0, sizeof(*month));
    status = rule->Move(i, &asset, year.get(), month.get());
    if (status != kHostOk) break;
    const bool business = incomeKind == 1 || (incomeKind == 3 && asset.incomeKind == kAssetIncomeBusiness);
    const bool realEstate =
        incomeKind == 2 || (incomeKind == 3 && asset.incomeKind == kAssetIncomeRealEstate);
    if (business) {
      tables.indBusinessFixedAssets.bookAmount =
          AddRaw(tables.indBusinessFixedAssets.bookAmount, asset.acquisitionAmount);
    }
    if (realEstate) {
      tables.indRealEstateFixedAssets.bookAmount =
          AddRaw(tables.indRealEstateFixedAssets.bookAmount, asset.acquisitionAmount);
    }
  }
  rule->MoveFinish();
  return status == kHostEndOfData ? kHostOk : status;
}

int AddTaxDlg::SumIndividualRefundLines(TaxSummaryTables& tables, const StDATAINFO& dataSet,
                                        const StSHOHIZEIINFO& settings) {
  if (!IsIndividual(dataSet)) return 1;
  const bool taxIncluded = settings.taxIncluded != 0;
  const bool interimClosing = dataSet.interimClosing == 1;
  const uint8_t incomeKind = dataSet.incomeKind;
  const MonthRange range = ReadMonthRange(filter);

  ResetDetail();
  ClSetBumon* departments = DepartmentSet();
  const int32_t departmentCount = departments != nullptr ? departments->GetBmnCount(0) : 0;
  if (departmentCount < 0) return HostFailure(departmentCount);

  // Stage 1: book amounts, once per department (or once without one). A
  // walk that fails ends the pass: its amounts would be missing.
  if (departmentCount == 0) {
    if (!HostOk(IndividualAccountSumWalk(nullptr, incomeKind, range, interimClosing, taxIncluded,
                                         tables))) {
      return 0;
    }
  } else {
    int32_t cursor = 0;
    int32_t status = departments->GetCursor(&cursor);
    if (status != kHostOk) return HostFailure(status);
    status = departments->ReadyCursor(cursor);
    while (status == kHostOk) {
      StBUMONINFO department;
      std::memset(&department, 0, sizeof(department));
      status = departments->Walk(&department, cursor);
      if (status != kHostOk) break;
      status = IndividualAccountSumWalk(&department, incomeKind, range, interimClosing,
                                        taxIncluded, tables);
    }
    departments->ReleaseCursor(cursor);
    if (!HostOk(status)) return 0;
  }

  // Stage 2: non-taxable parts.
  if (!journalRule_) journalRule_ = CreateRuleObject<ClRuleShiwake>();
  if (!journalRule_) return HostFailure(kCreateFailed);
  if (!HostOk(IndividualJournalStage(incomeKind, taxIncluded, tables))) return 0;

  // Stage 3: fixed assets acquired in the period.
  return HostOk(IndividualFixedAssetStage(incomeKind, range, tables)) ? 1 : 0;
}

}  // namespace taxlink
