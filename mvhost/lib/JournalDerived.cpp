#include "mvhost/lib/JournalDerived.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"

namespace mvhost {

namespace {

// Created on first use as well, so that a store made before they existed
// gets them.
constexpr const char kDerivedSchemaSql[] = R"SQL(
CREATE TABLE IF NOT EXISTS journal_derived_state (
  data_no  INTEGER PRIMARY KEY REFERENCES data_set(data_no) ON DELETE CASCADE,
  overflow INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS journal_chunk (
  data_no  INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  chunk_no INTEGER NOT NULL,
  lines    BLOB NOT NULL,
  PRIMARY KEY (data_no, chunk_no)
);
CREATE TABLE IF NOT EXISTS journal_class_total (
  data_no          INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  rate             INTEGER NOT NULL,
  business_type    INTEGER NOT NULL,
  debit_tax_class  INTEGER NOT NULL,
  credit_tax_class INTEGER NOT NULL,
  month_kind       INTEGER NOT NULL,
  lines            INTEGER NOT NULL,
  debit_amount     INTEGER NOT NULL,
  debit_tax        INTEGER NOT NULL,
  credit_amount    INTEGER NOT NULL,
  credit_tax       INTEGER NOT NULL,
  PRIMARY KEY (data_no, rate, business_type, debit_tax_class, credit_tax_class, month_kind)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS journal_account_total (
  data_no    INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  account_id INTEGER NOT NULL,
  side       INTEGER NOT NULL,
  rate       INTEGER NOT NULL,
  month_kind INTEGER NOT NULL,
  amount     INTEGER NOT NULL,
  tax        INTEGER NOT NULL,
  PRIMARY KEY (data_no, account_id, side, rate, month_kind)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS journal_department_total (
  data_no    INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  dept       INTEGER NOT NULL,
  account_id INTEGER NOT NULL,
  side       INTEGER NOT NULL,
  month_kind INTEGER NOT NULL,
  amount     INTEGER NOT NULL,
  tax        INTEGER NOT NULL,
  PRIMARY KEY (data_no, dept, account_id, side, month_kind)
) WITHOUT ROWID;
CREATE TRIGGER IF NOT EXISTS journal_line_inserted AFTER INSERT ON journal_line BEGIN
  DELETE FROM journal_derived_state WHERE data_no = NEW.data_no;
END;
CREATE TRIGGER IF NOT EXISTS journal_line_updated AFTER UPDATE ON journal_line BEGIN
  DELETE FROM journal_derived_state WHERE data_no IN (OLD.data_no, NEW.data_no);
END;
CREATE TRIGGER IF NOT EXISTS journal_line_deleted AFTER DELETE ON journal_line BEGIN
  DELETE FROM journal_derived_state WHERE data_no = OLD.data_no;
END;
)SQL";

int32_t Exec(sqlite3* db, const char* sql) {
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? 0 : SqlFailure(rc);
}

// Sums that stop at the first overflow instead of wrapping.
struct Sums {
  int64_t values[5] = {};
  bool Add(size_t i, int64_t v) { return !__builtin_add_overflow(values[i], v, &values[i]); }
};

// The key columns of a totals row after data_no.
template <size_t N>
using Key = std::array<int32_t, N>;

template <size_t N>
struct KeyHash {
  size_t operator()(const Key<N>& key) const {
    uint64_t h = 1469598103934665603ULL;
    for (int32_t part : key) h = (h ^ static_cast<uint32_t>(part)) * 1099511628211ULL;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

template <size_t N>
using Totals = std::unordered_map<Key<N>, Sums, KeyHash<N>>;

// The rows of totals in key order, which is the order of their primary key.
template <size_t N>
std::vector<std::pair<Key<N>, Sums>> Sorted(const Totals<N>& totals) {
  std::vector<std::pair<Key<N>, Sums>> rows(totals.begin(), totals.end());
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return rows;
}

// The derived data of one pass over the lines.
class Builder {
 public:
  Builder(sqlite3* db, int32_t dataNo) : db_(db), dataNo_(dataNo) {}

  int32_t Build() {
    static const char* const kClear[] = {
        "DELETE FROM journal_chunk WHERE data_no = ?",
        "DELETE FROM journal_class_total WHERE data_no = ?",
        "DELETE FROM journal_account_total WHERE data_no = ?",
        "DELETE FROM journal_department_total WHERE data_no = ?",
        "DELETE FROM journal_derived_state WHERE data_no = ?"};
    for (const char* sql : kClear) {
      int64_t ignored = 0;
      int32_t status = QueryInt(db_, "clear the derived journal data", sql, {dataNo_}, &ignored);
      if (status != 0) return status;
    }
    int32_t status = chunk_.Prepare(
        db_, "INSERT INTO journal_chunk (data_no, chunk_no, lines) VALUES (?, ?, ?)",
        "store the packed journal lines");
    if (status != 0) return status;

    SqlStatement lines;
    status = lines.Prepare(
        db_,
        "SELECT line_id, journal_no, date, month_kind, tax_rate, business_type, "
        "debit_account, debit_dept, debit_tax_class, debit_amount, debit_tax, "
        "credit_account, credit_dept, credit_tax_class, credit_amount, credit_tax, " +
            JournalLineSoundSql() + " FROM journal_line WHERE data_no = ? ORDER BY line_id",
        "read the journal lines for their derived data");
    if (status != 0) return status;
    lines.BindInt(1, dataNo_);
    int32_t step = 0;
    while ((step = lines.Step()) == 1) {
      // A line changed outside the import is never summed as something else.
      if (lines.Int(16) == 0) {
        return DamagedDerivedData(static_cast<int32_t>(dataNo_),
                                  "journal line " + std::to_string(lines.Int(0)) +
                                      " holds a value the host never writes");
      }
      PackedLine line;
      std::memset(&line, 0, sizeof(line));
      line.lineId = static_cast<int32_t>(lines.Int(0));
      line.journalNo = static_cast<int32_t>(lines.Int(1));
      line.date = static_cast<int32_t>(lines.Int(2));
      line.monthKind = static_cast<int32_t>(lines.Int(3));
      line.taxRate = static_cast<int32_t>(lines.Int(4));
      line.businessType = static_cast<int32_t>(lines.Int(5));
      line.hasDebit = lines.IsNull(6) ? 0 : 1;
      line.debitAccount = static_cast<int32_t>(lines.Int(6));
      line.debitDept = static_cast<int32_t>(lines.Int(7));
      line.debitTaxClass = static_cast<int32_t>(lines.Int(8));
      line.debitAmount = lines.Int(9);
      line.debitTax = lines.Int(10);
      line.hasCredit = lines.IsNull(11) ? 0 : 1;
      line.creditAccount = static_cast<int32_t>(lines.Int(11));
      line.creditDept = static_cast<int32_t>(lines.Int(12));
      line.creditTaxClass = static_cast<int32_t>(lines.Int(13));
      line.creditAmount = lines.Int(14);
      line.creditTax = lines.Int(15);
      Add(line);
      if (packed_.size() == kLinesPerChunk * sizeof(PackedLine)) {
        status = FlushChunk();
        if (status != 0) return status;
      }
    }
    if (step < 0) return step;
    status = FlushChunk();
    if (status != 0) return status;
    status = WriteTotals();
    if (status != 0) return status;
    int64_t ignored = 0;
    return QueryInt(db_, "mark the derived journal data built",
                    "INSERT INTO journal_derived_state (data_no, overflow) VALUES (?, ?)",
                    {dataNo_, overflow_ ? 1 : 0}, &ignored);
  }

 private:
  void Add(const PackedLine& line) {
    packed_.append(reinterpret_cast<const char*>(&line), sizeof(line));
    const int32_t rate = EffectiveRate(line.taxRate, line.date);
    Sums& c = classes_[{rate, line.businessType, line.debitTaxClass, line.creditTaxClass,
                        line.monthKind}];
    bool ok = c.Add(0, 1);
    if (line.hasDebit != 0) {
      ok = c.Add(1, line.debitAmount) && c.Add(2, line.debitTax) && ok;
      ok = AddSide(line.debitAccount, 1, rate, line.debitDept, line.monthKind, line.debitAmount,
                   line.debitTax) && ok;
    }
    if (line.hasCredit != 0) {
      ok = c.Add(3, line.creditAmount) && c.Add(4, line.creditTax) && ok;
      ok = AddSide(line.creditAccount, 2, rate, line.creditDept, line.monthKind,
                   line.creditAmount, line.creditTax) && ok;
    }
    if (!ok) overflow_ = true;
  }

  bool AddSide(int32_t account, int32_t side, int32_t rate, int32_t dept, int32_t monthKind,
               int64_t amount, int64_t tax) {
    Sums& a = accounts_[{account, side, rate, monthKind}];
    Sums& d = departments_[{dept, account, side, monthKind}];
    return a.Add(0, amount) && a.Add(1, tax) && d.Add(0, amount) && d.Add(1, tax);
  }

  int32_t FlushChunk() {
    if (packed_.empty()) return 0;
    chunk_.Reset();
    chunk_.BindInt(1, dataNo_);
    chunk_.BindInt(2, chunks_++);
    chunk_.BindBlob(3, packed_);
    int32_t step = chunk_.Step();
    packed_.clear();
    return step < 0 ? step : 0;
  }

  int32_t WriteTotals() {
    SqlStatement insert;
    int32_t status = insert.Prepare(
        db_,
        "INSERT INTO journal_class_total (data_no, rate, business_type, debit_tax_class, "
        "credit_tax_class, month_kind, lines, debit_amount, debit_tax, credit_amount, "
        "credit_tax) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
        "store the journal totals per tax class");
    if (status != 0) return status;
    for (const auto& [key, sums] : Sorted(classes_)) {
      insert.Reset();
      insert.BindAll(1, {dataNo_, key[0], key[1], key[2], key[3], key[4]});
      insert.BindAll(7, {sums.values[0], sums.values[1], sums.values[2], sums.values[3],
                         sums.values[4]});
      int32_t step = insert.Step();
      if (step < 0) return step;
    }
    status = WriteSides(accounts_,
                        "INSERT INTO journal_account_total (data_no, account_id, side, rate, "
                        "month_kind, amount, tax) VALUES (?,?,?,?,?,?,?)",
                        "store the journal totals per account");
    if (status != 0) return status;
    return WriteSides(departments_,
                      "INSERT INTO journal_department_total (data_no, dept, account_id, side, "
                      "month_kind, amount, tax) VALUES (?,?,?,?,?,?,?)",
                      "store the journal totals per department");
  }

  int32_t WriteSides(const Totals<4>& totals, const char* sql, const char* purpose) {
    SqlStatement insert;
    int32_t status = insert.Prepare(db_, sql, purpose);
    if (status != 0) return status;
    for (const auto& [key, sums] : Sorted(totals)) {
      insert.Reset();
      insert.BindAll(1, {dataNo_, key[0], key[1], key[2], key[3], sums.values[0], sums.values[1]});
      int32_t step = insert.Step();
      if (step < 0) return step;
    }
    return 0;
  }

  sqlite3* db_;
  int64_t dataNo_;
  SqlStatement chunk_;
  std::string packed_;
  int64_t chunks_ = 0;
  Totals<5> classes_;
  Totals<4> accounts_;
  Totals<4> departments_;
  bool overflow_ = false;
};

// 1 when built (overflow set), 0 when stale, a failure otherwise.
int32_t BuiltState(sqlite3* db, int32_t dataNo, bool* overflow) {
  SqlStatement state;
  int32_t status = state.Prepare(
      db, "SELECT overflow FROM journal_derived_state WHERE data_no = ?",
      "read the state of the derived journal data");
  if (status != 0) return status;
  state.BindInt(1, dataNo);
  int32_t step = state.Step();
  if (step < 0) return step;
  if (step == 1) *overflow = state.Int(0) != 0;
  return step;
}

}  // namespace

int32_t JournalDerived::Ensure(sqlite3* db, int32_t dataNo) {
  bool overflow = false;
  int32_t built = BuiltState(db, dataNo, &overflow);
  if (built < 0) {
    // A store from before the derived data: make their tables first.
    int32_t status = Exec(db, kDerivedSchemaSql);
    if (status != 0) return status;
    built = 0;
  }
  // Derived data that fail their checks (a store edited or damaged outside
  // the host) are built again once; what the rebuild does not mend fails.
  for (int attempt = 0;; ++attempt) {
    if (built == 0) {
      int32_t status = Rebuild(db, dataNo);
      if (status != 0) return status;
      built = BuiltState(db, dataNo, &overflow);
      if (built < 0) return built;
    }
    if (overflow) return kErrOverflow;
    std::string problem;
    int32_t status = CheckDerivedData(db, dataNo, &problem);
    if (status != 0 || problem.empty()) return status;
    if (attempt > 0) return DamagedDerivedData(dataNo, problem);
    AppendErrorLog("data set " + std::to_string(dataNo) + ": " + problem +
                   "; the derived journal data are built again");
    int64_t ignored = 0;
    status = QueryInt(db, "mark the derived journal data stale",
                      "DELETE FROM journal_derived_state WHERE data_no = ?", {dataNo}, &ignored);
    if (status != 0) return status;
    built = 0;
  }
}

int32_t JournalDerived::Rebuild(sqlite3* db, int32_t dataNo) {
  const bool own = sqlite3_get_autocommit(db) != 0;
  int32_t status = Exec(db, own ? "BEGIN IMMEDIATE" : "SAVEPOINT journal_derived");
  if (status != 0) return status;
  status = Exec(db, kDerivedSchemaSql);
  if (status == 0) {
    // Another process may have built them while this one waited; within the
    // caller's transaction (an import) they are always built anew.
    bool overflow = false;
    int32_t built = own ? BuiltState(db, dataNo, &overflow) : 0;
    if (built < 0) {
      status = built;
    } else if (built == 0) {
      status = Builder(db, dataNo).Build();
    }
  }
  if (status == 0) {
    status = Exec(db, own ? "COMMIT" : "RELEASE journal_derived");
    if (status == 0) return 0;
  }
  Exec(db, own ? "ROLLBACK" : "ROLLBACK TO journal_derived");
  if (!own) Exec(db, "RELEASE journal_derived");
  return status;
}

int32_t PackedLineReader::Open(sqlite3* db, int32_t dataNo) {
  lines_ = std::string_view();
  next_ = 0;
  dataNo_ = dataNo;
  int32_t status = chunks_.Prepare(
      db,
      "SELECT lines, typeof(lines) = 'blob', chunk_no FROM journal_chunk WHERE data_no = ? "
      "ORDER BY chunk_no",
      "read the packed journal lines");
  if (status != 0) return status;
  chunks_.BindInt(1, dataNo);
  return 0;
}

void PackedLineReader::Close() {
  chunks_.Finalize();
  lines_ = std::string_view();
  next_ = 0;
}

int32_t PackedLineReader::Next(const PackedLine** line) {
  while (next_ + sizeof(PackedLine) > lines_.size()) {
    if (!chunks_.IsPrepared()) return 0;
    lines_ = std::string_view();
    int32_t step = chunks_.Step();
    if (step <= 0) {
      chunks_.Finalize();
      return step;
    }
    // Checked as read: a chunk of another type or cut short would hand
    // out lines made of the wrong bytes.
    const std::string chunk = "chunk " + std::to_string(chunks_.Int(2));
    lines_ = chunks_.BlobView(0);
    next_ = 0;
    if (chunks_.Int(1) == 0 || lines_.empty() || lines_.size() % sizeof(PackedLine) != 0) {
      const size_t size = lines_.size();
      Close();
      return DamagedDerivedData(
          dataNo_, chunk + " holds " + std::to_string(size) + " bytes, not whole packed lines");
    }
  }
  *line = reinterpret_cast<const PackedLine*>(lines_.data() + next_);
  next_ += sizeof(PackedLine);
  if (!IsMonthKind((*line)->monthKind)) {
    const std::string problem = "packed line " + std::to_string((*line)->lineId) +
                                " has month kind " + std::to_string((*line)->monthKind);
    Close();
    return DamagedDerivedData(dataNo_, problem);
  }
  return 1;
}

}  // namespace mvhost
