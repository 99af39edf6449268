#include "host/ClRuleKamoku.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "host/FilterCondition.h"
#include "host/HostStatus.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/LinePredicate.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// ClRuleKamoku on the store.
class SqliteRuleKamoku : public BoundObject<ClRuleKamoku::Impl> {
 public:
  SqliteRuleKamoku();
  ~SqliteRuleKamoku() override;
  int32_t MoveReady(int32_t baseSumType, int32_t deptSumType, int32_t displayType,
                    const StFINDINFO* filter, const StBUMONINFO* department,
                    int32_t pastType) override;
  int32_t GetSumCount(int32_t* count) override;
  int32_t SetMovePos(int32_t position) override;
  int32_t MoveNext(StKAMOKUSUMINFO* out) override;
  int32_t MoveFinish() override;

 private:
  struct Query;
  Query* query_;
};

}  // namespace mvhost

struct mvhost::SqliteRuleKamoku::Query {
  bool ready = false;
  std::vector<StKAMOKUSUMINFO> records;
  size_t next = 0;
};

namespace {

// Adds value to the unaligned amount at target (a member of a packed record).
bool AddTo(void* target, int64_t value) {
  int64_t sum = 0;
  std::memcpy(&sum, target, sizeof(sum));
  if (__builtin_add_overflow(sum, value, &sum)) return false;
  std::memcpy(target, &sum, sizeof(sum));
  return true;
}

bool AddRecord(StKAMOKUSUMINFO* total, const StKAMOKUSUMINFO& account) {
  for (int e = 0; e < 15; ++e) {
    if (!AddTo(&total->debit[e], account.debit[e]) ||
        !AddTo(&total->debitIncl[e], account.debitIncl[e]) ||
        !AddTo(&total->credit[e], account.credit[e]) ||
        !AddTo(&total->creditIncl[e], account.creditIncl[e])) {
      return false;
    }
  }
  return true;
}

// The month-kind entries a filter on the month kind alone lets through: the
// filter compiled for lines, asked of each month kind a line may carry.
int32_t AcceptedEntries(sqlite3* db, int32_t dataNo, const StFINDINFO* filter,
                        uint32_t* entries) {
  *entries = 0;
  mvhost::LinePredicate predicate;
  const int32_t status = predicate.Compile(db, dataNo, filter);
  if (status != 0) return status;
  for (const int kind : mvhost::kLineMonthKinds) {
    if (predicate.MatchesClasses(kind, 0, 0)) *entries |= 1u << mvhost::MonthKindEntry(kind);
  }
  return 0;
}

// Adds the rows of the totals per account (in account id order) of the
// accepted entries to the records of their accounts (in account id order):
// per account, side and entry, the amount and the amount with its tax summed
// over the rates; false when a sum passes 64 bits.
bool TakeSums(const mvhost::AccountTotals& totals, uint32_t entries,
              StKAMOKUSUMINFO* records, size_t count) {
  auto row = totals.begin();
  for (size_t i = 0; i < count; ++i) {
    StKAMOKUSUMINFO& record = records[i];
    const int32_t id = record.accountId;
    while (row != totals.end() && row->accountId < id) ++row;
    for (; row != totals.end() && row->accountId == id; ++row) {
      if (((entries >> row->entry) & 1u) == 0) continue;
      const int64_t amount = row->amount;
      int64_t withTax = 0;
      if (__builtin_add_overflow(amount, row->tax, &withTax)) return false;
      const bool debit = row->side == 1;
      if (!AddTo(debit ? &record.debit[row->entry] : &record.credit[row->entry], amount) ||
          !AddTo(debit ? &record.debitIncl[row->entry] : &record.creditIncl[row->entry],
                 withTax)) {
        return false;
      }
    }
  }
  return true;
}

struct ClassNode {
  std::string name;
  int64_t parent = -1;
  bool total = false;
};

// Account-class total records: one per class marked total, summing the
// accounts of that class and of every class below it.
int32_t AppendTotals(sqlite3* db, int32_t dataNo, size_t accountCount,
                     std::vector<StKAMOKUSUMINFO>* records) {
  mvhost::SqlStatement stmt;
  int32_t status = stmt.Prepare(db,
                                "SELECT class_code, name, parent_class, total FROM account_class "
                                "WHERE data_no = ? ORDER BY class_code",
                                "read the account classes");
  if (status != 0) return status;
  stmt.BindInt(1, dataNo);
  std::map<int64_t, ClassNode> classes;
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    classes[stmt.Int(0)] = {stmt.Text(1), stmt.IsNull(2) ? -1 : stmt.Int(2), stmt.Int(3) != 0};
  }
  if (step < 0) return step;
  // One record per total class in class code order. Each account's class
  // chain is climbed once, adding the account to every total class on it
  // (rather than climbing every chain once per total class); a guard stops
  // cycles in bad data.
  struct Total {
    StKAMOKUSUMINFO record;
    bool named = true;
    bool overflow = false;
    bool sideTaken = false;
    size_t lastAccount = SIZE_MAX;  // an account reached twice on a cycle adds once
  };
  std::vector<Total> totals;
  std::map<int64_t, size_t> totalOf;
  for (const auto& [code, node] : classes) {
    if (!node.total) continue;
    Total& total = totals.emplace_back();
    std::memset(&total.record, 0, sizeof(total.record));
    total.named = mvhost::CopyRecordText(total.record.name, sizeof(total.record.name), node.name);
    total.record.totalFlag = 1;
    total.record.classCode = static_cast<uint32_t>(code);
    total.record.balanceSide = 1;
    totalOf[code] = totals.size() - 1;
  }
  if (!totals.empty()) {
    for (size_t i = 0; i < accountCount; ++i) {
      const StKAMOKUSUMINFO& account = (*records)[i];
      int64_t at = account.classCode;
      for (size_t hops = 0; hops <= classes.size() && at != -1; ++hops) {
        auto total = totalOf.find(at);
        if (total != totalOf.end()) {
          Total& t = totals[total->second];
          if (t.lastAccount != i) {
            t.lastAccount = i;
            if (!t.sideTaken) {
              t.record.balanceSide = account.balanceSide;
              t.sideTaken = true;
            }
            if (!t.overflow && !AddRecord(&t.record, account)) t.overflow = true;
          }
        }
        auto it = classes.find(at);
        at = it == classes.end() ? -1 : it->second.parent;
      }
    }
  }
  // The failure reported is the first total's in class code order, as when
  // each total was summed in turn.
  for (const Total& total : totals) {
    if (!total.named) {
      return mvhost::StoreTextError("data set " + std::to_string(dataNo) + ": account class " +
                                    std::to_string(total.record.classCode) + " name");
    }
    if (total.overflow) return mvhost::kErrOverflow;
  }
  for (const Total& total : totals) records->push_back(total.record);
  return 0;
}

}  // namespace

mvhost::SqliteRuleKamoku::SqliteRuleKamoku() : query_(new Query) {}

mvhost::SqliteRuleKamoku::~SqliteRuleKamoku() { delete query_; }

ClRuleKamoku::Impl* mvhost::NewRuleKamoku() { return new (std::nothrow) SqliteRuleKamoku; }

int32_t mvhost::SqliteRuleKamoku::MoveReady(int32_t baseSumType, int32_t deptSumType,
                                            int32_t /*displayType*/, const StFINDINFO* filter,
                                            const StBUMONINFO* department, int32_t pastType) {
  *query_ = Query();
  if (baseSumType != 1 || (deptSumType != 0 && deptSumType != 4) || pastType != 0 ||
      (deptSumType == 4 && department == nullptr)) {
    return mvhost::kErrBadArgument;
  }
  mvhost::ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;
  mvhost::SqlFilter where;
  status = mvhost::TranslateFilter(filter, mvhost::FilterTarget::kJournalLine, &where);
  if (status != 0) return status;

  // One record per account, in account id order, and one per class total:
  // reserved whole, since growing records of 636 bytes one doubling at a
  // time touches twice the memory they need. The accounts kept on the
  // connection serve when they are (else they are read here).
  std::vector<StKAMOKUSUMINFO>& records = query_->records;
  const std::vector<mvhost::KeptAccount>* kept = nullptr;
  status = mvhost::KeptAccounts(db, dataNo, &kept);
  if (status != 0) return status;
  auto addAccount = [&](int64_t accountId, const mvhost::ConvertedText& code,
                        const mvhost::ConvertedText& name, int64_t classCode, int64_t balanceSide,
                        int64_t flag1, int64_t flag2) {
    StKAMOKUSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    record.accountId = static_cast<int32_t>(accountId);
    const bool codeCopied = mvhost::CopyConvertedText(record.code, sizeof(record.code), code);
    if (!codeCopied || !mvhost::CopyConvertedText(record.name, sizeof(record.name), name)) {
      return mvhost::StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                                    std::to_string(record.accountId) +
                                    (codeCopied ? " name" : " code"));
    }
    record.classCode = static_cast<uint32_t>(classCode);
    record.balanceSide = static_cast<uint8_t>(balanceSide);
    record.excluded1 = static_cast<uint8_t>(flag1);
    record.excluded2 = static_cast<uint8_t>(flag2);
    records.push_back(record);
    return 0;
  };
  {
    int64_t count = 0;
    status = mvhost::QueryInt(
        db, "count the accounts of the account sums",
        kept != nullptr ? "SELECT count(*) FROM account_class WHERE data_no = ?1 AND total"
                        : "SELECT (SELECT count(*) FROM account WHERE data_no = ?1) + "
                          "(SELECT count(*) FROM account_class WHERE data_no = ?1 AND "
                          "total)",
        {dataNo}, &count);
    if (status != 0) return status;
    records.reserve(static_cast<size_t>(count) + (kept != nullptr ? kept->size() : 0));
  }
  if (kept != nullptr) {
    for (const mvhost::KeptAccount& a : *kept) {
      status = addAccount(a.accountId, a.codeText, a.nameText, a.classCode, a.balanceSide,
                          a.refundFlag1, a.refundFlag2);
      if (status != 0) return status;
    }
  } else {
    mvhost::SqlStatement stmt;
    status = stmt.Prepare(db,
                          "SELECT account_id, code, name, class_code, balance_side, refund_flag1, "
                          "refund_flag2 FROM account WHERE data_no = ? ORDER BY account_id",
                          "read the accounts of the account sums");
    if (status != 0) return status;
    stmt.BindInt(1, dataNo);
    int32_t step = 0;
    while ((step = stmt.Step()) == 1) {
      status = addAccount(stmt.Int(0), mvhost::ConvertRecordText(stmt.Text(1)),
                          mvhost::ConvertRecordText(stmt.Text(2)), stmt.Int(3), stmt.Int(4),
                          stmt.Int(5), stmt.Int(6));
      if (status != 0) return status;
    }
    if (step < 0) return step;
  }

  bool byDepartment = deptSumType == 4;
  const size_t accounts = records.size();
  auto addTo = [&](int64_t account, bool debit, int entry, int64_t amount, int64_t incl) {
    auto it = std::lower_bound(
        records.begin(), records.begin() + static_cast<std::ptrdiff_t>(accounts), account,
        [](const StKAMOKUSUMINFO& r, int64_t id) { return r.accountId < id; });
    if (it == records.begin() + static_cast<std::ptrdiff_t>(accounts) || it->accountId != account) {
      return true;
    }
    StKAMOKUSUMINFO& r = *it;
    return debit ? AddTo(&r.debit[entry], amount) && AddTo(&r.debitIncl[entry], incl)
                 : AddTo(&r.credit[entry], amount) && AddTo(&r.creditIncl[entry], incl);
  };
  mvhost::SqlStatement stmt;
  int32_t step = 0;
  const bool monthsOnly = mvhost::FilterUsesOnlyFields(filter, {kFieldMonthKind});
  const mvhost::AccountTotals* totals = nullptr;
  if (monthsOnly) {
    status = mvhost::JournalDerived::Ensure(db, dataNo);
    if (status != 0) return status;
    // The check of the derived data has read every row of the totals per
    // account: its rows serve while the store is as it saw it.
    if (!byDepartment) status = mvhost::CheckedAccountTotals(db, dataNo, &totals);
    if (status != 0) return status;
  }
  if (totals != nullptr) {
    uint32_t entries = 0;
    status = AcceptedEntries(db, dataNo, filter, &entries);
    if (status != 0) return status;
    if (!TakeSums(*totals, entries, records.data(), accounts)) return mvhost::kErrOverflow;
  } else if (monthsOnly) {
    // From the totals per account (or per department), each row added to
    // its account, side and month kind here: in key order, without the
    // sort a GROUP BY over the rates would take.
    status = stmt.Prepare(
        db,
        std::string("SELECT j.account_id, j.side, j.month_kind, j.amount, j.amount + j.tax FROM ") +
            (byDepartment ? "journal_department_total j WHERE j.data_no = ? AND j.dept = ?"
                          : "journal_account_total j WHERE j.data_no = ?") +
            " AND " + where.sql,
        "sum the journal lines per account");
    if (status != 0) return status;
    stmt.BindInt(1, dataNo);
    if (byDepartment) stmt.BindInt(2, department->code);
    stmt.BindAll(byDepartment ? 3 : 2, where.values);
    while ((step = stmt.Step()) == 1) {
      int entry = mvhost::MonthKindEntry(stmt.Int(2));
      if (entry < 0) continue;
      if (!addTo(stmt.Int(0), stmt.Int(1) == 1, entry, stmt.Int(3), stmt.Int(4))) {
        return mvhost::kErrOverflow;
      }
    }
  } else {
    // One scan of the lines, grouped by both accounts and the month kind;
    // with a department only the sides booked to it count.
    std::string debitIn = byDepartment ? "j.debit_dept = ?" : "1";
    std::string creditIn = byDepartment ? "j.credit_dept = ?" : "1";
    status = stmt.Prepare(db,
                          "SELECT j.debit_account, j.credit_account, j.month_kind, "
                          "SUM(CASE WHEN " +
                              debitIn +
                              " THEN j.debit_amount ELSE 0 END), "
                              "SUM(CASE WHEN " +
                              debitIn +
                              " THEN j.debit_amount + j.debit_tax ELSE 0 END), "
                              "SUM(CASE WHEN " +
                              creditIn +
                              " THEN j.credit_amount ELSE 0 END), "
                              "SUM(CASE WHEN " +
                              creditIn +
                              " THEN j.credit_amount + j.credit_tax ELSE 0 END) "
                              "FROM journal_line j WHERE j.data_no = ? AND " +
                              where.sql + " GROUP BY 1, 2, 3",
                          "sum the journal lines per account");
    if (status != 0) return status;
    int index = 1;
    if (byDepartment) {
      for (int i = 0; i < 4; ++i) stmt.BindInt(index++, department->code);
    }
    stmt.BindInt(index++, dataNo);
    stmt.BindAll(index, where.values);
    while ((step = stmt.Step()) == 1) {
      int entry = mvhost::MonthKindEntry(stmt.Int(2));
      if (entry < 0) continue;
      if ((!stmt.IsNull(0) && !addTo(stmt.Int(0), true, entry, stmt.Int(3), stmt.Int(4))) ||
          (!stmt.IsNull(1) && !addTo(stmt.Int(1), false, entry, stmt.Int(5), stmt.Int(6)))) {
        return mvhost::kErrOverflow;
      }
    }
  }
  if (step < 0) return step;

  status = AppendTotals(db, dataNo, records.size(), &records);
  if (status != 0) {
    records.clear();
    return status;
  }
  query_->ready = true;
  return 0;
}

int32_t mvhost::SqliteRuleKamoku::GetSumCount(int32_t* count) {
  if (count == nullptr) return mvhost::kErrBadArgument;
  if (!query_->ready) return mvhost::kErrNotReady;
  *count = static_cast<int32_t>(query_->records.size());
  return 0;
}

int32_t mvhost::SqliteRuleKamoku::SetMovePos(int32_t position) {
  if (!query_->ready) return mvhost::kErrNotReady;
  if (position < 0 || static_cast<size_t>(position) > query_->records.size()) {
    return mvhost::kErrBadArgument;
  }
  query_->next = static_cast<size_t>(position);
  return 0;
}

int32_t mvhost::SqliteRuleKamoku::MoveNext(StKAMOKUSUMINFO* out) {
  if (out == nullptr) return mvhost::kErrBadArgument;
  if (!query_->ready) return mvhost::kErrNotReady;
  if (query_->next >= query_->records.size()) return kHostEndOfData;
  std::memcpy(out, &query_->records[query_->next++], sizeof(*out));
  return 0;
}

int32_t mvhost::SqliteRuleKamoku::MoveFinish() {
  *query_ = Query();
  return 0;
}
