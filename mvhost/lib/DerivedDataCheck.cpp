#include "mvhost/lib/DerivedDataCheck.h"

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The store as a connection last saw it: another connection's commit moves
// data_version, the connection's own writes its change count.
struct Stamp {
  int64_t version = -1;
  int64_t changes = -1;
  bool operator==(const Stamp&) const = default;
};

int32_t ReadStamp(sqlite3* db, Stamp* stamp) {
  stamp->changes = sqlite3_total_changes64(db);
  return QueryInt(db, "read the store's version", "PRAGMA data_version", {}, &stamp->version);
}

using Key = std::pair<sqlite3*, int32_t>;

std::map<Key, Stamp>& SoundStamps() {
  static auto* stamps = new std::map<Key, Stamp>();
  return *stamps;
}

std::map<Key, std::vector<AccountEntrySum>>& SoundSums() {
  static auto* sums = new std::map<Key, std::vector<AccountEntrySum>>();
  return *sums;
}

std::map<Key, std::pair<Stamp, WalkTotals>>& WalkStamps() {
  static auto* stamps = new std::map<Key, std::pair<Stamp, WalkTotals>>();
  return *stamps;
}

std::string& LastRecord() {
  static std::string record;
  return record;
}

// Reads every row of a query over one data set's derived rows: visit gets
// each row and sets problem to stop.
template <class Visit>
int32_t EachRow(sqlite3* db, const char* sql, int32_t dataNo, std::string* problem, Visit visit) {
  SqlStatement query;
  int32_t status = query.Prepare(db, sql, "check the derived journal data");
  if (status != 0) return status;
  query.BindInt(1, dataNo);
  int32_t step = 0;
  while (problem->empty() && (step = query.Step()) == 1) visit(query);
  return step < 0 ? step : 0;
}

// Whether columns first..last of the row are all integers.
bool Integers(const SqlStatement& row, int first, int last) {
  for (int column = first; column <= last; ++column) {
    if (!row.IsInteger(column)) return false;
  }
  return true;
}

// The wrapping sums of amount and tax per side (debit amount, debit tax,
// credit amount, credit tax): equal sums modulo 2^64 are enough to tell two
// tables agree.
using SideSums = std::array<uint64_t, 4>;

// Gathers the rows of the totals per account, which come in key order
// (account, side, rate, month kind), into sums over the rates: one account
// and side at a time, then its entries in order.
class SumsGatherer {
 public:
  explicit SumsGatherer(std::vector<AccountEntrySum>* sums) : sums_(sums) {}

  void Add(int64_t accountId, int64_t side, int64_t monthKind, int64_t amount, int64_t tax) {
    if (accountId != accountId_ || side != side_) {
      Flush();
      accountId_ = accountId;
      side_ = side;
    }
    AccountEntrySum& sum = entries_[static_cast<size_t>(MonthKindEntry(monthKind))];
    sum.side = 1;  // present
    int64_t both = 0;
    if (__builtin_add_overflow(amount, tax, &both) ||
        __builtin_add_overflow(sum.amount, amount, &sum.amount) ||
        __builtin_add_overflow(sum.withTax, both, &sum.withTax)) {
      sum.overflow = true;
    }
  }

  void Flush() {
    for (size_t entry = 0; entry < entries_.size(); ++entry) {
      AccountEntrySum& sum = entries_[entry];
      if (sum.side == 0) continue;
      sum.accountId = accountId_;
      sum.side = static_cast<uint8_t>(side_);
      sum.entry = static_cast<uint8_t>(entry);
      sums_->push_back(sum);
      sum = AccountEntrySum();
    }
  }

 private:
  std::vector<AccountEntrySum>* sums_;
  std::array<AccountEntrySum, 15> entries_{};
  int64_t accountId_ = 0;
  int64_t side_ = 0;
};

// Short statements whose rows are checked here: a run pays for parsing
// them once. The account totals' sums are kept for the account sums service
// (ClRuleKamoku), which would otherwise read the same rows again.
int32_t CheckNow(sqlite3* db, int32_t dataNo, DerivedFinding* finding,
                 std::vector<AccountEntrySum>* sums) {
  std::string& problem = finding->problem;
  int64_t pending = 0;
  int32_t status =
      QueryInt(db, "look for changed journal lines",
               "SELECT 1 FROM journal_line_change WHERE data_no = ? LIMIT 1", {dataNo}, &pending);
  if (status != 0) return status;
  if (pending != 0) {
    // A changed line that holds what the host never writes: no rebuild
    // mends it. (Its note tells, as the trigger found it.)
    status = EachRow(db,
                     "SELECT line_id FROM journal_line_change WHERE data_no = ? AND NOT sound "
                     "ORDER BY line_id LIMIT 1",
                     dataNo, &problem, [&](const SqlStatement& row) {
                       problem =
                           "journal line " + row.Text(0) + " holds a value the host never writes";
                     });
    if (status != 0 || !problem.empty()) {
      finding->mendable = false;
      return status;
    }
  }
  // Every chunk a blob of whole packed lines; typeof() and length() read a
  // blob's size from its row, not its pages.
  int64_t chunkLines = 0;
  status = EachRow(db,
                   "SELECT chunk_no, typeof(lines) = 'blob', length(lines) FROM journal_chunk "
                   "WHERE data_no = ?",
                   dataNo, &problem, [&](const SqlStatement& row) {
                     const int64_t bytes = row.Int(2);
                     if (!row.IsInteger(0) || row.Int(1) == 0 || bytes <= 0 ||
                         bytes % static_cast<int64_t>(sizeof(PackedLine)) != 0 ||
                         bytes > static_cast<int64_t>(kLinesPerChunk * sizeof(PackedLine))) {
                       problem = "chunk " + row.Text(0) + " holds " + std::to_string(bytes) +
                                 " bytes, not whole packed lines";
                     }
                     chunkLines += bytes / static_cast<int64_t>(sizeof(PackedLine));
                   });
  if (status != 0 || !problem.empty()) return status;

  // Every total an integer of a known month kind (and side), fed by a line.
  int64_t classLines = 0;
  SideSums classes{}, accounts{};
  SumsGatherer gatherer(sums);
  status = EachRow(db,
                   "SELECT month_kind, lines, debit_amount, debit_tax, credit_amount, credit_tax "
                   "FROM journal_class_total WHERE data_no = ?",
                   dataNo, &problem, [&](const SqlStatement& row) {
                     if (!Integers(row, 0, 5) || !IsMonthKind(row.Int(0)) || row.Int(1) < 1) {
                       problem = "journal_class_total has month kind " + row.Text(0) +
                                 " or a value that is no integer";
                     }
                     classLines += row.Int(1);
                     for (int i = 0; i < 4; ++i)
                       classes[i] += static_cast<uint64_t>(row.Int(2 + i));
                   });
  if (status != 0 || !problem.empty()) return status;
  status = EachRow(db,
                   "SELECT month_kind, side, lines, amount, tax, account_id "
                   "FROM journal_account_total WHERE data_no = ? ORDER BY account_id",
                   dataNo, &problem, [&](const SqlStatement& row) {
                     const int64_t side = row.Int(1);
                     if (!Integers(row, 0, 4) || !IsMonthKind(row.Int(0)) ||
                         (side != 1 && side != 2) || row.Int(2) < 1) {
                       problem = "journal_account_total has month kind " + row.Text(0) + ", side " +
                                 row.Text(1) + " or a value that is no integer";
                       return;
                     }
                     accounts[(side - 1) * 2] += static_cast<uint64_t>(row.Int(3));
                     accounts[(side - 1) * 2 + 1] += static_cast<uint64_t>(row.Int(4));
                     gatherer.Add(row.Int(5), side, row.Int(0), row.Int(3), row.Int(4));
                   });
  if (status != 0 || !problem.empty()) return status;
  gatherer.Flush();

  // With no changed line pending, the chunks hold exactly the lines counted.
  if (pending == 0 && chunkLines != classLines) {
    problem = "the chunks hold " + std::to_string(chunkLines) + " lines, the totals count " +
              std::to_string(classLines);
    return 0;
  }
  if (classes != accounts) problem = "the totals per tax class and per account do not agree";
  return 0;
}

}  // namespace

int32_t CheckDerivedData(sqlite3* db, int32_t dataNo, DerivedFinding* finding) {
  *finding = DerivedFinding();
  Stamp stamp;
  int32_t status = ReadStamp(db, &stamp);
  if (status != 0) return status;
  auto known = SoundStamps().find({db, dataNo});
  if (known != SoundStamps().end() && known->second == stamp) return 0;
  std::vector<AccountEntrySum> sums;
  status = CheckNow(db, dataNo, finding, &sums);
  if (status == 0 && finding->problem.empty()) {
    SoundStamps()[{db, dataNo}] = stamp;
    SoundSums()[{db, dataNo}] = std::move(sums);
  } else {
    SoundStamps().erase({db, dataNo});
    SoundSums().erase({db, dataNo});
  }
  return status;
}

int32_t CheckedAccountSums(sqlite3* db, int32_t dataNo, const std::vector<AccountEntrySum>** sums) {
  *sums = nullptr;
  Stamp stamp;
  int32_t status = ReadStamp(db, &stamp);
  if (status != 0) return status;
  auto known = SoundStamps().find({db, dataNo});
  auto kept = SoundSums().find({db, dataNo});
  if (known != SoundStamps().end() && known->second == stamp && kept != SoundSums().end()) {
    *sums = &kept->second;
  }
  return 0;
}

int32_t ReadWalkTotals(sqlite3* db, int32_t dataNo, WalkTotals* totals) {
  *totals = WalkTotals();
  Stamp stamp;
  int32_t status = ReadStamp(db, &stamp);
  if (status != 0) return status;
  auto known = WalkStamps().find({db, dataNo});
  if (known != WalkStamps().end() && known->second.first == stamp) {
    *totals = known->second.second;
    return 0;
  }
  SqlStatement query;
  status = query.Prepare(db,
                         "SELECT lines, debit_amount, debit_tax, credit_amount, credit_tax "
                         "FROM journal_class_total WHERE data_no = ?",
                         "read the derived journal totals");
  if (status != 0) return status;
  query.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = query.Step()) == 1) {
    totals->lines += query.Int(0);
    for (int column = 1; column <= 4; ++column) {
      totals->sum += static_cast<uint64_t>(query.Int(column));
    }
  }
  if (step < 0) return step;
  WalkStamps()[{db, dataNo}] = {stamp, *totals};
  return 0;
}

void ForgetDerivedChecks(sqlite3* db) {
  auto forget = [db](auto& stamps) {
    stamps.erase(stamps.lower_bound({db, INT32_MIN}), stamps.upper_bound({db, INT32_MAX}));
  };
  forget(SoundStamps());
  forget(SoundSums());
  forget(WalkStamps());
}

int32_t DamagedDerivedData(sqlite3* db, int32_t dataNo, const std::string& problem,
                           bool markStale) {
  LastRecord() = "data set " + std::to_string(dataNo) + ": " + problem;
  AppendErrorLog("code=" + std::to_string(kErrDamagedDerived) + " record=\"" + LastRecord() +
                 "\" the journal data cannot be summed");
  if (markStale) {
    ReadScope::Release(db);
    sqlite3_exec(
        db,
        ("UPDATE journal_derived_state SET built = 0 WHERE data_no = " + std::to_string(dataNo))
            .c_str(),
        nullptr, nullptr, nullptr);
  }
  return kErrDamagedDerived;
}

std::string LastDamagedDerivedRecord() { return LastRecord(); }

}  // namespace mvhost
