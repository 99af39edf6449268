#include "mvhost/lib/DerivedDataCheck.h"

#include <cstddef>

#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

constexpr char kMonthKindsSql[] = "(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18)";

// Runs a query whose first row, if any, describes a problem in its first
// column.
int32_t FirstProblem(sqlite3* db, const std::string& sql, int32_t dataNo, const char* purpose,
                     std::string* problem) {
  SqlStatement query;
  int32_t status = query.Prepare(db, sql, purpose);
  if (status != 0) return status;
  query.BindInt(1, dataNo);
  const int32_t step = query.Step();
  if (step < 0) return step;
  if (step == 1) *problem = query.Text(0);
  return 0;
}

// The wrapping sums of amount and tax per side (1 debit, 2 credit) of one
// totals query: equal sums modulo 2^64 are enough to tell the tables agree.
struct SideSums {
  uint64_t values[2][2] = {};
  bool operator==(const SideSums& other) const {
    for (int s = 0; s < 2; ++s) {
      for (int k = 0; k < 2; ++k) {
        if (values[s][k] != other.values[s][k]) return false;
      }
    }
    return true;
  }
};

int32_t SumSides(sqlite3* db, const char* sql, int32_t dataNo, SideSums* sums) {
  SqlStatement query;
  int32_t status = query.Prepare(db, sql, "check the derived journal totals");
  if (status != 0) return status;
  query.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = query.Step()) == 1) {
    const int64_t side = query.Int(0);
    if (side != 1 && side != 2) continue;  // reported by the range check
    sums->values[side - 1][0] += static_cast<uint64_t>(query.Int(1));
    sums->values[side - 1][1] += static_cast<uint64_t>(query.Int(2));
  }
  return step < 0 ? step : 0;
}

std::string& LastRecord() {
  static std::string record;
  return record;
}

int32_t CheckDerivedDataNow(sqlite3* db, int32_t dataNo, std::string* problem);

}  // namespace

int32_t CheckDerivedData(sqlite3* db, int32_t dataNo, std::string* problem) {
  problem->clear();
  // The last data found sound, and the store as it was then: a run calls
  // the services many times over data that nobody changes meanwhile.
  static struct {
    sqlite3* db = nullptr;
    int32_t dataNo = 0;
    int64_t version = -1;
    int64_t changes = -1;
  } lastSound;
  int64_t version = 0;
  int32_t status = QueryInt(db, "read the store's version", "PRAGMA data_version", {}, &version);
  if (status != 0) return status;
  const int64_t changes = sqlite3_total_changes64(db);
  if (lastSound.db == db && lastSound.dataNo == dataNo && lastSound.version == version &&
      lastSound.changes == changes) {
    return 0;
  }
  lastSound.db = nullptr;
  status = CheckDerivedDataNow(db, dataNo, problem);
  if (status == 0 && problem->empty()) lastSound = {db, dataNo, version, changes};
  return status;
}

namespace {

int32_t CheckDerivedDataNow(sqlite3* db, int32_t dataNo, std::string* problem) {
  const std::string lineSize = std::to_string(sizeof(PackedLine));
  const std::string chunkSize = std::to_string(kLinesPerChunk * sizeof(PackedLine));
  int32_t status = FirstProblem(
      db,
      "SELECT 'chunk ' || chunk_no || ' is a ' || typeof(lines) || ' of ' || length(lines) || "
      "' bytes, not whole packed lines' FROM journal_chunk WHERE data_no = ? AND "
      "(typeof(lines) <> 'blob' OR length(lines) = 0 OR length(lines) % " + lineSize +
          " <> 0 OR length(lines) > " + chunkSize + ") ORDER BY chunk_no LIMIT 1",
      dataNo, "check the packed journal lines", problem);
  if (status != 0 || !problem->empty()) return status;

  int64_t chunkLines = 0;
  int64_t countedLines = 0;
  status = QueryInt(db, "count the packed journal lines",
                    "SELECT IFNULL(SUM(length(lines)), 0) / " + lineSize +
                        " FROM journal_chunk WHERE data_no = ?",
                    {dataNo}, &chunkLines);
  if (status == 0) {
    status = QueryInt(db, "count the derived journal lines",
                      "SELECT IFNULL(SUM(lines), 0) FROM journal_class_total WHERE data_no = ?",
                      {dataNo}, &countedLines);
  }
  if (status != 0) return status;
  if (chunkLines != countedLines) {
    *problem = "the chunks hold " + std::to_string(chunkLines) + " lines, the totals count " +
               std::to_string(countedLines);
    return 0;
  }

  // Every value of the totals an integer, every month kind a known one.
  const std::string ranges =
      std::string("SELECT 'journal_class_total has month kind ' || quote(month_kind) || "
                  "' or a value that is no integer' FROM journal_class_total WHERE data_no = ?1 "
                  "AND (month_kind NOT IN ") + kMonthKindsSql +
      " OR typeof(month_kind) <> 'integer' OR typeof(lines) <> 'integer' "
      "OR typeof(debit_amount) <> 'integer' OR typeof(debit_tax) <> 'integer' "
      "OR typeof(credit_amount) <> 'integer' OR typeof(credit_tax) <> 'integer' OR lines < 1) "
      "UNION ALL SELECT 'journal_account_total has month kind ' || quote(month_kind) || "
      "', side ' || quote(side) || ' or a value that is no integer' FROM journal_account_total "
      "WHERE data_no = ?1 AND (month_kind NOT IN " + kMonthKindsSql +
      " OR typeof(month_kind) <> 'integer' OR side NOT IN (1, 2) OR typeof(side) <> 'integer' "
      "OR typeof(amount) <> 'integer' OR typeof(tax) <> 'integer') "
      "UNION ALL SELECT 'journal_department_total has month kind ' || quote(month_kind) || "
      "', side ' || quote(side) || ' or a value that is no integer' FROM "
      "journal_department_total WHERE data_no = ?1 AND (month_kind NOT IN " + kMonthKindsSql +
      " OR typeof(month_kind) <> 'integer' OR side NOT IN (1, 2) OR typeof(side) <> 'integer' "
      "OR typeof(amount) <> 'integer' OR typeof(tax) <> 'integer') LIMIT 1";
  status = FirstProblem(db, ranges, dataNo, "check the derived journal totals", problem);
  if (status != 0 || !problem->empty()) return status;

  SideSums classes, accounts, departments;
  status = SumSides(db,
                    "SELECT 1, debit_amount, debit_tax FROM journal_class_total WHERE data_no = ?1 "
                    "UNION ALL SELECT 2, credit_amount, credit_tax FROM journal_class_total "
                    "WHERE data_no = ?1",
                    dataNo, &classes);
  if (status == 0) {
    status = SumSides(db,
                      "SELECT side, amount, tax FROM journal_account_total WHERE data_no = ?",
                      dataNo, &accounts);
  }
  if (status == 0) {
    status = SumSides(db,
                      "SELECT side, amount, tax FROM journal_department_total WHERE data_no = ?",
                      dataNo, &departments);
  }
  if (status != 0) return status;
  if (!(classes == accounts) || !(classes == departments)) {
    *problem = "the totals per tax class, per account and per department do not agree";
  }
  return 0;
}

}  // namespace

std::string JournalLineSoundSql() {
  return std::string("(month_kind IN ") + kMonthKindsSql +
         " AND typeof(month_kind) = 'integer' AND typeof(journal_no) = 'integer' "
         "AND typeof(date) = 'integer' AND typeof(tax_rate) IN ('integer', 'real') "
         "AND typeof(business_type) = 'integer' "
         "AND typeof(debit_account) IN ('integer', 'null') "
         "AND typeof(debit_dept) = 'integer' AND typeof(debit_amount) = 'integer' "
         "AND typeof(debit_tax) = 'integer' AND typeof(debit_tax_class) = 'integer' "
         "AND typeof(credit_account) IN ('integer', 'null') "
         "AND typeof(credit_dept) = 'integer' AND typeof(credit_amount) = 'integer' "
         "AND typeof(credit_tax) = 'integer' AND typeof(credit_tax_class) = 'integer')";
}

int32_t DamagedDerivedData(int32_t dataNo, const std::string& problem) {
  LastRecord() = "data set " + std::to_string(dataNo) + ": " + problem;
  AppendErrorLog("code=" + std::to_string(kErrDamagedDerived) + " record=\"" + LastRecord() +
                 "\" the journal data cannot be summed");
  return kErrDamagedDerived;
}

std::string LastDamagedDerivedRecord() { return LastRecord(); }

}  // namespace mvhost
