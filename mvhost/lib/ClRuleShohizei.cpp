#include "host/ClRuleShohizei.h"

#include <cstring>
#include <new>
#include <vector>

#include "host/HostStatus.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
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
  // netted on the account's balance side, from the totals per account. CROSS
  // JOIN: the accounts the totals name, each by its key, sorted after; left to
  // itself SQLite walks every account by code and builds an index on the sums
  // at each call.
  status = mvhost::JournalDerived::Ensure(db, dataNo);
  if (status != 0) return status;
  const std::string amount = taxIncluded != 0 ? "j.amount + j.tax" : "j.amount";
  mvhost::SqlStatement stmt;
  status = stmt.Prepare(
      db,
      "SELECT a.code, a.balance_side, s.debit, s.credit, a.account_id FROM (SELECT j.account_id, "
      "SUM(CASE WHEN j.side = 1 THEN " +
          amount +
          " ELSE 0 END) AS debit, "
          "SUM(CASE WHEN j.side = 2 THEN " +
          amount +
          " ELSE 0 END) AS credit "
          "FROM journal_account_total j WHERE j.data_no = ? AND j.rate = ? AND " +
          mvhost::kMonthOrderSql +
          " BETWEEN ? AND ? GROUP BY j.account_id) s "
          "CROSS JOIN account a ON a.data_no = ? AND a.account_id = s.account_id ORDER BY a.code",
      "sum the tax per account");
  if (status != 0) return status;
  stmt.BindAll(
      1, {dataNo, *rate, mvhost::MonthOrder(*startKind), mvhost::MonthOrder(*endKind), dataNo});
  int32_t step = 0;
  while ((step = stmt.Step()) == 1) {
    StTAXSUMINFO record;
    std::memset(&record, 0, sizeof(record));
    if (!mvhost::CopyRecordText(record.code, sizeof(record.code), stmt.Text(0))) {
      query_->records.clear();
      return mvhost::StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                                    std::to_string(stmt.Int(4)) + " code");
    }
    int64_t debit = stmt.Int(2);
    int64_t credit = stmt.Int(3);
    int64_t net = 0;
    bool overflow = stmt.Int(1) == 2 ? __builtin_sub_overflow(credit, debit, &net)
                                     : __builtin_sub_overflow(debit, credit, &net);
    if (overflow) return mvhost::kErrOverflow;
    record.amount = net;
    query_->records.push_back(record);
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
