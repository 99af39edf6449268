#include "host/ClRuleShohizei.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "host/HostStatus.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/MonthOrder.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// ClRuleShohizei on the store.
class SqliteRuleShohizei : public BoundObject<ClRuleShohizei::Impl> {
 public:
  SqliteRuleShohizei();
  ~SqliteRuleShohizei() override;
  int32_t MoveReady(int32_t sumType, const int16_t* startKind, const int16_t* endKind,
                    const int32_t* rate, const void* reserved, uint8_t taxIncluded) override;
  int32_t GetSumInfoCount() override;
  int32_t MoveNext(StTAXSUMINFO* out) override;
  int32_t MoveFinish() override;

 private:
  struct Query;
  Query* query_;
};

}  // namespace mvhost

struct mvhost::SqliteRuleShohizei::Query {
  bool ready = false;
  std::vector<StTAXSUMINFO> records;
  size_t next = 0;
};

mvhost::SqliteRuleShohizei::SqliteRuleShohizei() : query_(new Query) {}

mvhost::SqliteRuleShohizei::~SqliteRuleShohizei() { delete query_; }

ClRuleShohizei::Impl* mvhost::NewRuleShohizei() { return new (std::nothrow) SqliteRuleShohizei; }

namespace {

// An account's debit and credit sides at one rate within the months.
struct AccountSides {
  int32_t accountId = 0;
  int64_t debit = 0;
  int64_t credit = 0;
};

// The sides per account (in account id order) from the rows of the totals
// per account the derived data's check kept; *answered false when none are
// kept, or when a sum would pass 64 bits (SQL then answers as it always did).
int32_t KeptSides(sqlite3* db, int32_t dataNo, int32_t rate, int64_t firstMonth, int64_t lastMonth,
                  bool taxIncluded, std::vector<AccountSides>* sides, bool* answered) {
  *answered = false;
  const mvhost::AccountTotals* totals = nullptr;
  const int32_t status = mvhost::CheckedAccountTotals(db, dataNo, &totals);
  if (status != 0 || totals == nullptr) return status;
  // The accounting order of each month-kind entry (entry 13 is kind 18,
  // entry 14 kind 15).
  static constexpr std::array<int64_t, 15> order = [] {
    std::array<int64_t, 15> byEntry{};
    for (const int kind : mvhost::kLineMonthKinds) {
      byEntry[static_cast<size_t>(mvhost::MonthKindEntry(kind))] = mvhost::MonthOrder(kind);
    }
    return byEntry;
  }();
  for (const mvhost::AccountTotal& row : *totals) {
    if (row.rate != rate) continue;
    const int64_t month = order[row.entry];
    if (month < firstMonth || month > lastMonth) continue;
    int64_t amount = row.amount;
    if (taxIncluded && __builtin_add_overflow(amount, row.tax, &amount)) return 0;
    if (sides->empty() || sides->back().accountId != row.accountId) {
      sides->push_back({row.accountId, 0, 0});
    }
    int64_t& sum = row.side == 1 ? sides->back().debit : sides->back().credit;
    if (__builtin_add_overflow(sum, amount, &sum)) return 0;
  }
  *answered = true;
  return 0;
}

}  // namespace

int32_t mvhost::SqliteRuleShohizei::MoveReady(int32_t sumType, const int16_t* startKind,
                                              const int16_t* endKind, const int32_t* rate,
                                              const void* /*reserved*/, uint8_t taxIncluded) {
  *query_ = Query();
  if (sumType != 2 || startKind == nullptr || endKind == nullptr || rate == nullptr) {
    return mvhost::kErrBadArgument;
  }
  mvhost::ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  int32_t status = context_.Resolve(&db, &dataNo, &scope);
  if (status != 0) return status;

  // Per account: its debit and credit sides at the rate within the months,
  // netted on the account's balance side, from the totals per account the
  // derived data's check kept, else from SQL.
  status = mvhost::JournalDerived::Ensure(db, dataNo);
  if (status != 0) return status;
  const int64_t firstMonth = mvhost::MonthOrder(*startKind);
  const int64_t lastMonth = mvhost::MonthOrder(*endKind);
  std::vector<AccountSides> sides;
  bool answered = false;
  status = KeptSides(db, dataNo, *rate, firstMonth, lastMonth, taxIncluded != 0, &sides, &answered);
  if (status != 0) return status;
  // A record per account the sums name, in code order, netted on the
  // account's balance side.
  auto addRecord = [&](const mvhost::ConvertedText& code, int64_t accountId, int64_t balanceSide,
                       int64_t debit, int64_t credit) {
    StTAXSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    if (!mvhost::CopyConvertedText(record.code, sizeof(record.code), code)) {
      query_->records.clear();
      return mvhost::StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                                    std::to_string(accountId) + " code");
    }
    int64_t net = 0;
    bool overflow = balanceSide == 2 ? __builtin_sub_overflow(credit, debit, &net)
                                     : __builtin_sub_overflow(debit, credit, &net);
    if (overflow) return mvhost::kErrOverflow;
    record.amount = net;
    query_->records.push_back(record);
    return 0;
  };
  mvhost::SqlStatement stmt;
  int32_t step = 0;
  const std::vector<mvhost::KeptAccount>* kept = nullptr;
  if (answered) {
    status = mvhost::KeptAccounts(db, dataNo, &kept);
    if (status != 0) return status;
  }
  if (answered && kept != nullptr) {
    // The accounts the sums name, from those kept on the connection, in
    // code order (codes are unique; byte order, as the column's collation).
    std::vector<const mvhost::KeptAccount*> named;
    named.reserve(sides.size());
    auto account = kept->begin();
    for (const AccountSides& s : sides) {
      while (account != kept->end() && account->accountId < s.accountId) ++account;
      if (account != kept->end() && account->accountId == s.accountId) named.push_back(&*account);
    }
    std::sort(named.begin(), named.end(),
              [](const mvhost::KeptAccount* a, const mvhost::KeptAccount* b) {
                return a->code < b->code;
              });
    // Room for the records at once: grown by doubling, records of 826 bytes
    // are copied again and again and touch twice the memory they need.
    query_->records.reserve(named.size());
    for (const mvhost::KeptAccount* a : named) {
      auto found = std::lower_bound(
          sides.begin(), sides.end(), a->accountId,
          [](const AccountSides& s, int64_t accountId) { return s.accountId < accountId; });
      status = addRecord(a->codeText, a->accountId, a->balanceSide, found->debit, found->credit);
      if (status != 0) return status;
    }
  } else if (answered) {
    // The accounts the sums name, each by its key, in code order ("+code":
    // sorted after, where the index on codes would walk every account); at
    // most one record each.
    query_->records.reserve(sides.size());
    std::string ids = "[";
    for (const AccountSides& s : sides) {
      if (ids.size() > 1) ids += ',';
      ids += std::to_string(s.accountId);
    }
    ids += ']';
    status = stmt.Prepare(db,
                          "SELECT account_id, code, balance_side FROM account WHERE data_no = ? "
                          "AND account_id IN (SELECT value FROM json_each(?)) ORDER BY +code",
                          "sum the tax per account");
    if (status != 0) return status;
    stmt.BindInt(1, dataNo);
    stmt.BindText(2, ids);
    while ((step = stmt.Step()) == 1) {
      const int64_t id = stmt.Int(0);
      auto found = std::lower_bound(
          sides.begin(), sides.end(), id,
          [](const AccountSides& s, int64_t accountId) { return s.accountId < accountId; });
      if (found == sides.end() || found->accountId != id) continue;
      status = addRecord(mvhost::ConvertRecordText(stmt.Text(1)), id, stmt.Int(2), found->debit,
                         found->credit);
      if (status != 0) return status;
    }
  } else {
    // Per account from the totals per account: CROSS JOIN, the accounts the
    // totals name, each by its key, sorted after; left to itself SQLite walks
    // every account by code and builds an index on the sums at each call.
    const std::string amount = taxIncluded != 0 ? "j.amount + j.tax" : "j.amount";
    status = stmt.Prepare(
        db,
        "SELECT a.code, a.balance_side, s.debit, s.credit, a.account_id FROM (SELECT "
        "j.account_id, SUM(CASE WHEN j.side = 1 THEN " +
            amount +
            " ELSE 0 END) AS debit, "
            "SUM(CASE WHEN j.side = 2 THEN " +
            amount +
            " ELSE 0 END) AS credit "
            "FROM journal_account_total j WHERE j.data_no = ? AND j.rate = ? AND " +
            mvhost::kMonthOrderSql +
            " BETWEEN ? AND ? GROUP BY j.account_id) s "
            "CROSS JOIN account a ON a.data_no = ? AND a.account_id = s.account_id ORDER BY "
            "a.code",
        "sum the tax per account");
    if (status != 0) return status;
    stmt.BindAll(1, {dataNo, *rate, firstMonth, lastMonth, dataNo});
    while ((step = stmt.Step()) == 1) {
      status = addRecord(mvhost::ConvertRecordText(stmt.Text(0)), stmt.Int(4), stmt.Int(1),
                         stmt.Int(2), stmt.Int(3));
      if (status != 0) return status;
    }
  }
  if (step < 0) {
    query_->records.clear();
    return step;
  }
  query_->ready = true;
  return 0;
}

int32_t mvhost::SqliteRuleShohizei::GetSumInfoCount() {
  return static_cast<int32_t>(query_->records.size());
}

int32_t mvhost::SqliteRuleShohizei::MoveNext(StTAXSUMINFO* out) {
  if (out == nullptr) return mvhost::kErrBadArgument;
  if (!query_->ready) return mvhost::kErrNotReady;
  if (query_->next >= query_->records.size()) return kHostEndOfData;
  std::memcpy(out, &query_->records[query_->next++], sizeof(*out));
  return 0;
}

int32_t mvhost::SqliteRuleShohizei::MoveFinish() {
  *query_ = Query();
  return 0;
}
