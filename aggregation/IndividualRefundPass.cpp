// The individual refund statement lines, split by kind of income: book
// amounts from the account sums per department, non-taxable parts from
// journal lines (routed by the department of each side), and the fixed
// assets acquired in the period.

#include "aggregation/IndividualRefundPass.h"

#include <climits>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "aggregation/AccountClasses.h"
#include "aggregation/AccountIndex.h"
#include "aggregation/AccountingPeriod.h"
#include "aggregation/AcquiredAssets.h"
#include "aggregation/FigureTrace.h"
#include "aggregation/IndividualRouting.h"
#include "aggregation/JournalFilters.h"
#include "aggregation/PeriodAmount.h"
#include "aggregation/ProgressSink.h"
#include "aggregation/RawAmount.h"
#include "aggregation/RuleObjects.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClSetBumon.h"
#include "host/ClSetMgr.h"
#include "status/HostResult.h"

namespace taxlink {

namespace {

constexpr int32_t kDepartmentSumType = 4;
constexpr uint8_t kAssetIncomeBusiness = 1;
constexpr uint8_t kAssetIncomeRealEstate = 2;

bool IsIndividual(const StDATAINFO& dataSet) {
  return dataSet.entityKind == 3 || dataSet.entityKind == 4;
}

// The departments set object with its department count (0: the data set
// has none).
Status DepartmentSet(ClSetBumon** departments, int32_t* count) {
  *departments = nullptr;
  *count = 0;
  ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
  if (setMgr == nullptr) return Status::Missing("no set manager", "ClDataMgr::GetSetMgr");
  *departments = dynamic_cast<ClSetBumon*>(setMgr->GetSetObject(kSetKindDepartments, 1));
  if (*departments == nullptr) {
    return Status::Missing("no departments set object", "ClSetMgr::GetSetObject");
  }
  *count = (*departments)->GetBmnCount(0);
  return HostCountResult(*count, "ClSetBumon::GetBmnCount");
}

// Adds an amount (a credit side's taken off: negative) to one column of the
// lines the routing chooses for the account's group; the real-estate side
// has no purchases line.
enum class Column { kBook, kNonTaxable };

// Where an amount came from, for the trace.
struct Origin {
  Contribution::Source source;
  int32_t id;
  int32_t detail;
  const void* record = nullptr;
  const StKAMOKUINFO* account = nullptr;
  int8_t side = 0;
};

template <class Trace>
void AddToLine(RefundLine& line, Column column, Figure book, Figure nonTaxable, int64_t amount,
               const Origin& origin, Trace trace) {
  int64_t& field = column == Column::kBook ? line.bookAmount : line.nonTaxablePart;
  field = AddRaw(field, amount);
  trace(Contribution{column == Column::kBook ? book : nonTaxable, origin.source, origin.id,
                     origin.detail, amount, false, origin.record, origin.account, origin.side});
}

template <class Trace>
void RouteAmount(IndividualGroup group, const IncomeRouting& routing, Column column, int64_t amount,
                 const Origin& origin, TaxSummaryTables& t, Trace trace) {
  if (group == IndividualGroup::kPurchases) {
    if (routing.business) {
      AddToLine(t.indBusinessPurchases, column, Figure::kIndBusinessPurchasesBook,
                Figure::kIndBusinessPurchasesNonTaxable, amount, origin, trace);
    }
    if (routing.other) {
      AddToLine(t.indOtherPurchases, column, Figure::kIndOtherPurchasesBook,
                Figure::kIndOtherPurchasesNonTaxable, amount, origin, trace);
    }
  } else if (group == IndividualGroup::kExpenses) {
    if (routing.business) {
      AddToLine(t.indBusinessExpenses, column, Figure::kIndBusinessExpensesBook,
                Figure::kIndBusinessExpensesNonTaxable, amount, origin, trace);
    }
    if (routing.realEstate) {
      AddToLine(t.indRealEstateExpenses, column, Figure::kIndRealEstateExpensesBook,
                Figure::kIndRealEstateExpensesNonTaxable, amount, origin, trace);
    }
    if (routing.other) {
      AddToLine(t.indOtherExpenses, column, Figure::kIndOtherExpensesBook,
                Figure::kIndOtherExpensesNonTaxable, amount, origin, trace);
    }
  }
}

// Looks a department up by code; a code the host does not know yields a
// zeroed record rather than the previous line's department, and is no
// failure.
StBUMONINFO LookUpDepartment(ClSetBumon& departments, int32_t cursor, int32_t code,
                             Status* status) {
  StBUMONINFO department;
  std::memset(&department, 0, sizeof(department));
  *status = Status::OK();
  Status lookup = HostLookupResult(departments.ReadyCursor(cursor), "ClSetBumon::ReadyCursor");
  if (lookup.ok()) {
    lookup = HostLookupResult(departments.GetInfoByCode(cursor, code, &department),
                              "ClSetBumon::GetInfoByCode");
  }
  if (lookup.code() == Status::Code::kHostError) *status = lookup;
  return department;
}

}  // namespace

template <class Trace>
Status IndividualRefundPass::Run(TaxSummaryTables& tables, Trace trace) {
  if (!IsIndividual(context_.dataSet)) return Status::OK();
  incomeKind_ = context_.dataSet.incomeKind;
  context_.progress.DetailReset();
  Status status = SumBookAmounts(tables, trace);
  if (!status.ok()) return status;
  status = SumNonTaxableParts(tables, trace);
  if (!status.ok()) return status;
  return SumAcquiredAssets(tables, trace);
}

// Stage 1: book amounts, once per department (or once without one). A walk
// that fails ends the pass: its amounts would be missing.
template <class Trace>
Status IndividualRefundPass::SumBookAmounts(TaxSummaryTables& tables, Trace trace) {
  ClSetBumon* departments = nullptr;
  int32_t departmentCount = 0;
  Status status = DepartmentSet(&departments, &departmentCount);
  if (!status.ok()) return status;
  if (departmentCount == 0) return AccountSumWalk(nullptr, tables, trace);

  int32_t cursor = 0;
  status = HostResult(departments->GetCursor(&cursor), "ClSetBumon::GetCursor");
  if (!status.ok()) return status;
  status = HostResult(departments->ReadyCursor(cursor), "ClSetBumon::ReadyCursor");
  while (status.ok()) {
    StBUMONINFO department;
    std::memset(&department, 0, sizeof(department));
    status = HostResult(departments->Walk(&department, cursor), "ClSetBumon::Walk");
    if (!status.ok()) break;
    status = AccountSumWalk(&department, tables, trace);
  }
  departments->ReleaseCursor(cursor);
  return WalkEnded(status);
}

template <class Trace>
Status IndividualRefundPass::AccountSumWalk(const StBUMONINFO* department, TaxSummaryTables& tables,
                                            Trace trace) {
  std::unique_ptr<ClRuleKamoku> rule;
  Status status = CreateRuleObject(&rule);
  if (!status.ok()) return status;
  const int32_t deptSumType =
      department != nullptr && (department->kind == 1 || department->kind == 2) ? kDepartmentSumType
                                                                                : 0;
  status = HostResult(rule->MoveReady(1, deptSumType, 0, &context_.filter, department, 0),
                      "ClRuleKamoku::MoveReady");
  if (!status.ok()) return status;

  StBUMONINFO noDepartment;
  std::memset(&noDepartment, 0, sizeof(noDepartment));
  const IncomeRouting routing = RouteIndividualAmount(
      incomeKind_, department != nullptr, department != nullptr ? *department : noDepartment);
  const int32_t departmentCode = department != nullptr ? department->code : 0;
  const bool interimClosing = context_.dataSet.interimClosing == 1;
  const bool taxIncluded = context_.settings.taxIncluded();
  for (;;) {
    StKAMOKUSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    status = HostResult(rule->MoveNext(&record), "ClRuleKamoku::MoveNext");
    if (!status.ok()) break;
    if (record.excluded1 != 0 || record.excluded2 == 1) continue;

    const PeriodTotals totals =
        SumPeriodEntries(record, context_.range, interimClosing, taxIncluded);
    // Balance side 1 or 2: debit minus credit; otherwise credit minus debit.
    int64_t amount = record.balanceSide == 1 ? SubtractRaw(totals.debit, totals.credit)
                                             : SubtractRaw(totals.credit, totals.debit);
    if (record.balanceSide == 2) amount = SubtractRaw(0, amount);

    const IndividualGroup group = IndividualGroupOfClass(record.classCode);
    if (group == IndividualGroup::kNone || record.totalFlag == 1) continue;
    RouteAmount(
        group, routing, Column::kBook, amount,
        Origin{Contribution::Source::kAccountSum, record.accountId, departmentCode, &record},
        tables, trace);
  }
  status = WalkEnded(status);
  rule->MoveFinish();
  return status;
}

// Stage 2: non-taxable parts from the journal lines, routed by the
// department of each side.
template <class Trace>
Status IndividualRefundPass::SumNonTaxableParts(TaxSummaryTables& tables, Trace trace) {
  ClRuleShiwake* rule = nullptr;
  Status status = context_.rules.Journals(&rule);
  if (!status.ok()) return status;
  const AccountList& accounts = context_.accounts;
  status = context_.accounts.Build(ACCOUNT_CLASS_INDIVIDUAL, context_.progress);
  if (!status.ok()) return status;
  ClSetBumon* departments = nullptr;
  int32_t departmentCount = 0;
  status = DepartmentSet(&departments, &departmentCount);
  if (!status.ok()) return status;
  int32_t cursor = 0;
  status = HostResult(departments->GetCursor(&cursor), "ClSetBumon::GetCursor");
  if (!status.ok()) return status;
  NestedFilter journalFilter;
  int32_t lineCount = 0;
  status = StartNonTaxablePurchaseWalk(*rule, context_.filter, &journalFilter, &lineCount,
                                       context_.returnLines);
  const bool departmentsExist = departmentCount > 0;
  const bool taxIncluded = context_.settings.taxIncluded();
  const AccountIndex index(accounts);
  std::vector<std::size_t> matches;
  // A department's record does not change during the pass: each code is
  // looked up once.
  std::unordered_map<int32_t, StBUMONINFO> departmentsByCode;
  auto departmentOf = [&](int32_t code) -> const StBUMONINFO& {
    auto found = departmentsByCode.find(code);
    if (found != departmentsByCode.end()) return found->second;
    StBUMONINFO record = LookUpDepartment(*departments, cursor, code, &status);
    return status.ok() ? departmentsByCode.emplace(code, record).first->second
                       : departmentsByCode[INT32_MIN];
  };

  // One record for the walk: the host hands out each line whole.
  StSWKTINFO line;
  std::memset(&line, 0, sizeof(line));
  while (status.ok()) {
    status = HostResult(rule->MoveNext(&line), "ClRuleShiwake::MoveNext");
    if (!status.ok()) break;
    const int64_t debitValue = JournalSideValue(line.debitAmount, line.debitTax, taxIncluded);
    const int64_t creditValue = JournalSideValue(line.creditAmount, line.creditTax, taxIncluded);
    const Origin origin{Contribution::Source::kJournalLine, line.journalId, line.lineNo, &line};
    // The listed accounts the line can match, in list order.
    index.Matches(line.debitAccountId, line.creditAccountId, &matches);
    for (std::size_t position : matches) {
      const StKAMOKUINFO& account = accounts[position];
      const IndividualGroup group = IndividualGroupOfClass(account.classCode);
      if (group == IndividualGroup::kNone) continue;
      if (line.debitAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.debitTaxClass)) {
        const StBUMONINFO& department = departmentOf(line.debitDeptCode);
        if (!status.ok()) break;
        RouteAmount(group, RouteIndividualAmount(incomeKind_, departmentsExist, department),
                    Column::kNonTaxable, debitValue,
                    Origin{origin.source, origin.id, origin.detail, &line, &account, 1}, tables,
                    trace);
      }
      if (line.creditAccountId == account.accountId &&
          IsNonTaxablePurchaseClass(line.creditTaxClass)) {
        const StBUMONINFO& department = departmentOf(line.creditDeptCode);
        if (!status.ok()) break;
        RouteAmount(group, RouteIndividualAmount(incomeKind_, departmentsExist, department),
                    Column::kNonTaxable, SubtractRaw(0, creditValue),
                    Origin{origin.source, origin.id, origin.detail, &line, &account, 2}, tables,
                    trace);
      }
    }
  }
  status = WalkEnded(status);
  if (status.ok()) status = FinishReturnLineTrace(*rule, context_.returnLines);
  // The query is finished on every path so the cached object holds none open.
  rule->MoveFinish();
  departments->ReleaseCursor(cursor);
  return status;
}

// Stage 3: fixed assets acquired in the period; the period's dates come
// from the host, and a date it cannot give fails the pass.
template <class Trace>
Status IndividualRefundPass::SumAcquiredAssets(TaxSummaryTables& tables, Trace trace) {
  std::unique_ptr<ClAccPeriod> period;
  Status status = AccountingPeriodOfSetManager(&period);
  if (!status.ok()) return status;
  int32_t from = 0;
  int32_t to = 0;
  int32_t unused = 0;
  status = HostCallResult(period->GetPeriodByMonthKind(context_.range.startKind, &from, &unused, 0),
                          "ClAccPeriod::GetPeriodByMonthKind");
  if (status.ok()) {
    status = HostCallResult(period->GetPeriodByMonthKind(context_.range.endKind, &unused, &to, 0),
                            "ClAccPeriod::GetPeriodByMonthKind");
  }
  if (!status.ok()) return status;

  std::unique_ptr<ClRuleGenkashokyaku> rule;
  status = CreateRuleObject(&rule);
  if (!status.ok()) return status;
  auto addAsset = [&](const StKOTEISHISANINFO& asset) {
    const bool business =
        incomeKind_ == 1 || (incomeKind_ == 3 && asset.incomeKind == kAssetIncomeBusiness);
    const bool realEstate =
        incomeKind_ == 2 || (incomeKind_ == 3 && asset.incomeKind == kAssetIncomeRealEstate);
    const Origin origin{Contribution::Source::kFixedAsset, asset.assetId, 0, &asset};
    if (business) {
      AddToLine(tables.indBusinessFixedAssets, Column::kBook, Figure::kIndBusinessFixedAssetsBook,
                Figure::kIndBusinessFixedAssetsBook, asset.acquisitionAmount, origin, trace);
    }
    if (realEstate) {
      AddToLine(tables.indRealEstateFixedAssets, Column::kBook,
                Figure::kIndRealEstateFixedAssetsBook, Figure::kIndRealEstateFixedAssetsBook,
                asset.acquisitionAmount, origin, trace);
    }
  };
  return WalkAcquiredAssets(*rule, from, to, context_.progress, addAsset);
}

template Status IndividualRefundPass::Run(TaxSummaryTables&, NoTrace);
template Status IndividualRefundPass::Run(TaxSummaryTables&, SinkTrace);

}  // namespace taxlink
