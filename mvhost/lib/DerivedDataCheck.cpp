#include "mvhost/lib/DerivedDataCheck.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "mvhost/lib/AccountTotalLog.h"
#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/KeptAssets.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

using Stamp = StoreStamp;

int32_t ReadStamp(sqlite3* db, Stamp* stamp) { return ReadStoreStamp(db, stamp); }

using Key = std::pair<sqlite3*, int32_t>;

std::map<Key, Stamp>& SoundStamps() {
  static auto* stamps = new std::map<Key, Stamp>();
  return *stamps;
}

// The account totals of a sound check; absent when an account id was no
// 32-bit integer or a rate no 16-bit one.
std::map<Key, AccountTotals>& SoundAccountTotals() {
  static auto* totals = new std::map<Key, AccountTotals>();
  return *totals;
}

// The class totals of a sound check; absent when a key column was no 32-bit
// integer (the callers then ask SQL, which compares the stored values).
std::map<Key, ClassTotals>& SoundClassTotals() {
  static auto* totals = new std::map<Key, ClassTotals>();
  return *totals;
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

// The wrapping sums of amount and tax per side (debit amount, debit tax,
// credit amount, credit tax): equal sums modulo 2^64 are enough to tell two
// tables agree.
using SideSums = std::array<uint64_t, 4>;

// The integer columns of a row, each read once (a read through the
// interface costs more than the check made of it): the type before the
// value, since reading a value may convert it.
struct Columns {
  std::array<int64_t, 10> value{};
  std::array<bool, 10> integer{};

  void Read(const SqlStatement& row, int count) {
    for (int i = 0; i < count; ++i) integer[i] = row.IntegerAt(i, &value[i]);
  }
  bool Integers(int first, int last) const {
    for (int i = first; i <= last; ++i) {
      if (!integer[i]) return false;
    }
    return true;
  }
  bool Int32s(int first, int last) const {
    for (int i = first; i <= last; ++i) {
      if (!integer[i] || value[i] < INT32_MIN || value[i] > INT32_MAX) return false;
    }
    return true;
  }
};

// The account totals a check carries over from the last one kept beside the
// store, and the keys of the rows written since (sorted): those are read
// again, the others taken as they were checked.
struct CarriedAccounts {
  const AccountTotals* rows = nullptr;
  const std::vector<AccountKey>* keys = nullptr;
};

// The month kind of an entry of the account sums (MonthKindEntry undone).
constexpr int64_t EntryMonthKind(int entry) { return entry == 13 ? 18 : entry == 14 ? 15 : entry; }

AccountKey KeyOf(const AccountTotal& row) {
  return {row.accountId, row.side, row.rate, EntryMonthKind(row.entry)};
}

// The carried rows whose keys were not written since, and those that were
// as they are now (through takeRow, which checks them as a full read does),
// summed per side into sums; kept->accounts in key order, as a full read
// gives them (the carried rows are in that order: CheckSince makes sure).
template <class TakeRow>
int32_t MergeAccounts(sqlite3* db, int32_t dataNo, const CarriedAccounts& carried,
                      std::string* problem, SideSums* sums, CheckedRows* kept, TakeRow takeRow) {
  const std::vector<AccountKey>& keys = *carried.keys;
  SqlStatement query;
  int32_t status = query.Prepare(db,
                                 "SELECT month_kind, side, lines, amount, tax, account_id, rate "
                                 "FROM journal_account_total WHERE data_no = ?1 AND "
                                 "account_id = ?2 AND side = ?3 AND rate = ?4 AND month_kind = ?5",
                                 "check the derived journal data");
  if (status != 0) return status;
  auto row = carried.rows->begin();
  const auto end = carried.rows->end();
  // The carried rows before `key` (all of them past the last key), then the
  // row of the key as it is now, if any. The rows are in key order, so the
  // stretch before a key is found by halving and kept in one insert.
  auto carryBefore = [&](const AccountKey* key) {
    const auto stop =
        key == nullptr
            ? end
            : std::lower_bound(row, end, *key, [](const AccountTotal& r, const AccountKey& k) {
                return KeyOf(r) < k;
              });
    for (auto r = row; r != stop; ++r) {
      const size_t side = r->side == 1 ? 0 : 2;
      (*sums)[side] += static_cast<uint64_t>(r->amount);
      (*sums)[side + 1] += static_cast<uint64_t>(r->tax);
    }
    if (kept->accountsKept) kept->accounts.insert(kept->accounts.end(), row, stop);
    row = stop;
    if (key != nullptr && row != end && KeyOf(*row) == *key) ++row;  // written since: read again
  };
  for (const AccountKey& key : keys) {
    carryBefore(&key);
    query.Reset();
    query.BindInt(1, dataNo);
    for (int i = 0; i < 4; ++i) query.BindInt(2 + i, key[i]);
    const int32_t step = query.Step();
    if (step < 0) return step;
    if (step == 1) takeRow(query);
    if (!problem->empty()) return 0;
  }
  carryBefore(nullptr);
  return 0;
}

// Short statements whose rows are checked here: a run pays for parsing
// them once. With carried rows, only the account totals written since they
// were kept are read.
int32_t CheckNow(sqlite3* db, int32_t dataNo, DerivedFinding* finding, CheckedRows* kept,
                 const CarriedAccounts* carried = nullptr) {
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
  Columns c;
  status = EachRow(db,
                   "SELECT month_kind, lines, debit_amount, debit_tax, credit_amount, credit_tax, "
                   "rate, business_type, debit_tax_class, credit_tax_class "
                   "FROM journal_class_total WHERE data_no = ?",
                   dataNo, &problem, [&](const SqlStatement& row) {
                     c.Read(row, 10);
                     if (!c.Integers(0, 5) || !IsMonthKind(c.value[0]) || c.value[1] < 1) {
                       problem = "journal_class_total has month kind " + row.Text(0) +
                                 " or a value that is no integer";
                       return;
                     }
                     classLines += c.value[1];
                     for (int i = 0; i < 4; ++i) classes[i] += static_cast<uint64_t>(c.value[2 + i]);
                     if (!kept->classesKept) return;
                     if (!c.Int32s(6, 9)) {
                       kept->classesKept = false;
                       kept->classes = ClassTotals();
                       return;
                     }
                     kept->classes.push_back(
                         {static_cast<int32_t>(c.value[6]), static_cast<int32_t>(c.value[7]),
                          static_cast<int32_t>(c.value[8]), static_cast<int32_t>(c.value[9]),
                          static_cast<int32_t>(c.value[0]), c.value[1], c.value[2], c.value[3],
                          c.value[4], c.value[5]});
                   });
  if (status != 0 || !problem.empty()) return status;
  auto takeRow = [&](const SqlStatement& row) {
    c.Read(row, 7);
    const int64_t side = c.value[1];
    if (!c.Integers(0, 4) || !IsMonthKind(c.value[0]) || (side != 1 && side != 2) ||
        c.value[2] < 1) {
      problem = "journal_account_total has month kind " + row.Text(0) + ", side " + row.Text(1) +
                " or a value that is no integer";
      return;
    }
    accounts[(side - 1) * 2] += static_cast<uint64_t>(c.value[3]);
    accounts[(side - 1) * 2 + 1] += static_cast<uint64_t>(c.value[4]);
    if (!kept->accountsKept) return;
    if (!c.Int32s(5, 5) || !c.integer[6] || c.value[6] < INT16_MIN || c.value[6] > INT16_MAX) {
      kept->accountsKept = false;
      kept->accounts = AccountTotals();
      return;
    }
    kept->accounts.push_back({c.value[3], c.value[4], static_cast<int32_t>(c.value[5]),
                              static_cast<int16_t>(c.value[6]), static_cast<uint8_t>(side),
                              static_cast<uint8_t>(MonthKindEntry(c.value[0]))});
  };
  if (carried == nullptr) {
    status = EachRow(db,
                     "SELECT month_kind, side, lines, amount, tax, account_id, rate "
                     "FROM journal_account_total WHERE data_no = ? ORDER BY account_id",
                     dataNo, &problem, takeRow);
  } else {
    status = MergeAccounts(db, dataNo, *carried, &problem, &accounts, kept, takeRow);
  }
  if (status != 0 || !problem.empty()) return status;

  // With no changed line pending, the chunks hold exactly the lines counted.
  if (pending == 0 && chunkLines != classLines) {
    problem = "the chunks hold " + std::to_string(chunkLines) + " lines, the totals count " +
              std::to_string(classLines);
    return 0;
  }
  if (classes != accounts) problem = "the totals per tax class and per account do not agree";
  return 0;
}

// The log is taken only for few keys: an entry of the log read costs the
// check about 2 200 instructions and a row read again through its key about
// 4 000, against 2 600 for a row read in order (a 1 % change of 100 000
// lines: 4 007 entries of 1 158 keys, 13 M instructions against 31 M
// reading all 11 895 rows). More keys than a quarter of the rows (or more
// entries than half of them) are not read.
constexpr uint64_t kFewestRowsPerKey = 4;

// The keys the log is read for against a check kept with `rows` rows.
size_t MostLoggedKeys(uint64_t rows) { return rows / kFewestRowsPerKey; }

// The check of CheckNow on the rows of the last check kept beside the store
// and the account totals written since (ReadLoggedAccountKeys), when those
// are few (kFewestRowsPerKey) and nothing was written while this read;
// false when that cannot be (the caller checks every row).
bool CheckSince(sqlite3* db, int32_t dataNo, uint32_t counter, DerivedFinding* finding,
                CheckedRows* kept, int32_t* status) {
  // The log is asked first (its entries counted, not read, past the
  // bound), the kept rows read only when it is taken.
  KeptSince since;
  std::vector<AccountKey> keys;
  if (!ReadKeptSince(db, dataNo, &since) ||
      !ReadLoggedAccountKeys(db, dataNo, since.log, MostLoggedKeys(since.accountRows), &keys)) {
    return false;
  }
  CheckedRows carriedRows;
  bool found = false;
  ReadCheckedRowsAt(db, dataNo, since.counter, &carriedRows, &found);
  // The rows merge with those read again only in key order (as every
  // check keeps them).
  const auto notBefore = [](const AccountTotal& a, const AccountTotal& b) {
    return !(KeyOf(a) < KeyOf(b));
  };
  const AccountTotals& rows = carriedRows.accounts;
  if (!found || !carriedRows.accountsKept || rows.size() != since.accountRows ||
      std::adjacent_find(rows.begin(), rows.end(), notBefore) != rows.end()) {
    return false;
  }
  *kept = CheckedRows();
  const CarriedAccounts carried{&carriedRows.accounts, &keys};
  *status = CheckNow(db, dataNo, finding, kept, &carried);
  uint32_t after = 0;
  return ReadChangeCounter(db, &after) && after == counter;
}

}  // namespace

bool KeptCheckWantsTheLog(sqlite3* db, int32_t dataNo) {
  KeptSince since;
  return ReadKeptSince(db, dataNo, &since) &&
         AccountTotalLogCovers(db, since.log, MostLogEntries(MostLoggedKeys(since.accountRows)));
}

int32_t ReadStoreStamp(sqlite3* db, StoreStamp* stamp) {
  stamp->changes = sqlite3_total_changes64(db);
  return QueryInt(db, "read the store's version", "PRAGMA data_version", {}, &stamp->version);
}

int32_t CheckDerivedData(sqlite3* db, int32_t dataNo, DerivedFinding* finding) {
  *finding = DerivedFinding();
  Stamp stamp;
  int32_t status = ReadStamp(db, &stamp);
  if (status != 0) return status;
  auto known = SoundStamps().find({db, dataNo});
  if (known != SoundStamps().end() && known->second == stamp) return 0;
  CheckedRows kept;
  // A check kept beside the store for its change counter as it is now
  // stands; else the rows are read and checked, and the check kept for the
  // next run when nothing was written while it read them.
  bool snapshot = false;
  ReadCheckedSnapshot(db, dataNo, &kept, &snapshot);
  if (!snapshot) {
    uint32_t before = 0, after = 0;
    const bool counted = ReadChangeCounter(db, &before);
    // The last check kept, brought up to date through the account totals'
    // log when the store's counter did not move while it read; else every
    // row is read.
    if (!counted || !CheckSince(db, dataNo, before, finding, &kept, &status)) {
      *finding = DerivedFinding();
      kept = CheckedRows();
      status = CheckNow(db, dataNo, finding, &kept);
    }
    // Also while changed lines are pending: a change spread thin is carried
    // in its notes over many runs, and a fold of them brings the check up
    // to date through the log. The log's position goes with it only when
    // the log is this build's.
    const bool keep = status == 0 && finding->problem.empty() && counted;
    AccountTotalLogPosition log;
    const bool logged = keep && ReadAccountTotalLogPosition(db, &log);
    if (keep && ReadChangeCounter(db, &after) && after == before) {
      // The accounts and the fixed assets go with it: every run reads them
      // (KeptAccounts, KeptAssets).
      const std::vector<KeptAccount>* accounts = nullptr;
      KeptAssetList assets;
      if (KeptAssets(db, dataNo, &assets) != 0) assets = nullptr;
      if (KeptAccounts(db, dataNo, &accounts) == 0 && ReadChangeCounter(db, &after) &&
          after == before) {
        if (WriteCheckedSnapshot(db, dataNo, before, kept, accounts, assets.get()) && logged) {
          WriteCheckedSince(db, dataNo, {before, log, kept.accounts.size()});
        }
      }
    }
  }
  SoundClassTotals().erase({db, dataNo});
  SoundAccountTotals().erase({db, dataNo});
  if (status == 0 && finding->problem.empty()) {
    SoundStamps()[{db, dataNo}] = stamp;
    if (kept.accountsKept) SoundAccountTotals()[{db, dataNo}] = std::move(kept.accounts);
    if (kept.classesKept) SoundClassTotals()[{db, dataNo}] = std::move(kept.classes);
  } else {
    SoundStamps().erase({db, dataNo});
  }
  return status;
}

namespace {

// What the last sound check of the data set kept in store, while the store
// is as that check saw it; else null.
template <class Rows>
int32_t KeptRows(sqlite3* db, int32_t dataNo, std::map<Key, Rows>& store, const Rows** rows) {
  *rows = nullptr;
  Stamp stamp;
  int32_t status = ReadStamp(db, &stamp);
  if (status != 0) return status;
  auto known = SoundStamps().find({db, dataNo});
  auto kept = store.find({db, dataNo});
  if (known != SoundStamps().end() && known->second == stamp && kept != store.end()) {
    *rows = &kept->second;
  }
  return 0;
}

}  // namespace

int32_t CheckedClassTotals(sqlite3* db, int32_t dataNo, const ClassTotals** totals) {
  return KeptRows(db, dataNo, SoundClassTotals(), totals);
}

int32_t CheckedAccountTotals(sqlite3* db, int32_t dataNo,
                             const AccountTotals** totals) {
  return KeptRows(db, dataNo, SoundAccountTotals(), totals);
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
  // The rows the check read, when it read the store as it is now.
  const ClassTotals* rows = nullptr;
  status = CheckedClassTotals(db, dataNo, &rows);
  if (status != 0) return status;
  if (rows != nullptr) {
    for (const ClassTotal& row : *rows) {
      totals->lines += row.lines;
      for (int64_t value : {row.debitAmount, row.debitTax, row.creditAmount, row.creditTax}) {
        totals->sum += static_cast<uint64_t>(value);
      }
    }
    WalkStamps()[{db, dataNo}] = {stamp, *totals};
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
  forget(SoundAccountTotals());
  forget(SoundClassTotals());
  forget(WalkStamps());
}

int32_t DamagedDerivedData(sqlite3* db, int32_t dataNo, const std::string& problem,
                           bool markStale) {
  LastRecord() = "data set " + std::to_string(dataNo) + ": " + problem;
  AppendErrorLog("code=" + std::to_string(kErrDamagedDerived) + " record=\"" + LastRecord() +
                 "\" the journal data cannot be summed");
  if (markStale) {
    ExecQuietly(
        db,
        ("UPDATE journal_derived_state SET built = 0 WHERE data_no = " + std::to_string(dataNo))
            .c_str());
  }
  return kErrDamagedDerived;
}

std::string LastDamagedDerivedRecord() { return LastRecord(); }

}  // namespace mvhost
