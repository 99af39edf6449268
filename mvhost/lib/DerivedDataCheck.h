#ifndef TAXLINK_MVHOST_DERIVEDDATACHECK_H_
#define TAXLINK_MVHOST_DERIVEDDATACHECK_H_

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace mvhost {

// Checks of a data set's derived journal data (JournalDerived) as they are
// read, so that a store edited or damaged outside the host never yields a
// figure from a damaged chunk or total.

// The store as a connection last saw it: another connection's commit moves
// data_version, the connection's own writes its change count. What a
// connection keeps from the store serves while the stamp is the same.
struct StoreStamp {
  int64_t version = -1;
  int64_t changes = -1;
  bool operator==(const StoreStamp&) const = default;
};
int32_t ReadStoreStamp(sqlite3* db, StoreStamp* stamp);

// What a check found; empty problem: nothing.
struct DerivedFinding {
  std::string problem;  // "chunk 2 is a blob of 100 bytes, not whole packed lines"
  // A rebuild from the lines mends it (false: a line itself holds what the
  // host never writes).
  bool mendable = true;
};

// The chunks are blobs of whole packed lines, as many as the totals count
// (when no changed line is pending); the totals hold integers, known month
// kinds and sides, and the totals per tax class and per account add up to
// the same amounts and taxes per side; no pending changed line holds what
// the host never writes. Data found sound are not checked again on the same
// connection until the store changes. 0, or a host failure of the reading.
int32_t CheckDerivedData(sqlite3* db, int32_t dataNo, DerivedFinding* finding);

// Whether the check kept beside the store for dataNo can still be brought up
// to date from the account totals' log: a trim of the log would then cost
// the next check a read of every row.
bool KeptCheckWantsTheLog(sqlite3* db, int32_t dataNo);

// A row of the totals per account of a data set as its last check read it:
// the amount and tax of an account, side (1 debit, 2 credit), effective rate
// and month-kind entry (1..12 as they are, 18 as 13, 15 as 14). The rows
// come in key order: account, side, rate, month kind.
struct AccountTotal {
  int64_t amount = 0;
  int64_t tax = 0;
  int32_t accountId = 0;
  int16_t rate = 0;
  uint8_t side = 0;
  uint8_t entry = 0;
};
static_assert(sizeof(AccountTotal) == 24);

// Rows kept in blocks: a vector grown by doubling touches up to three times
// what the rows need (a million-line data set has about 20 000 account
// totals), and the run's peak memory is to stay flat.
using AccountTotals = std::deque<AccountTotal>;

// The rows of the totals per account of the data set's last sound check,
// while the store is as that check saw it, every account id held an integer
// of 32 bits and every rate one of 16; else null (the caller reads the totals
// itself). 0, or a host failure of the reading.
int32_t CheckedAccountTotals(sqlite3* db, int32_t dataNo,
                             const AccountTotals** totals);

// A row of the totals per tax class of a data set as its last check read
// it: the effective rate, business type, both tax classes and month kind, and
// what the row sums.
struct ClassTotal {
  int32_t rate = 0;
  int32_t businessType = 0;
  int32_t debitTaxClass = 0;
  int32_t creditTaxClass = 0;
  int32_t monthKind = 0;
  int64_t lines = 0;
  int64_t debitAmount = 0;
  int64_t debitTax = 0;
  int64_t creditAmount = 0;
  int64_t creditTax = 0;
};

using ClassTotals = std::deque<ClassTotal>;

// The rows of the totals per tax class of the data set's last sound check,
// while the store is as that check saw it and every key column held an
// integer of 32 bits; else null (the caller asks SQL). 0, or a host failure
// of the reading.
int32_t CheckedClassTotals(sqlite3* db, int32_t dataNo, const ClassTotals** totals);

// The entry of a month kind in the account sums; -1 for no month kind.
constexpr int MonthKindEntry(int64_t kind) {
  if (kind >= 1 && kind <= 12) return static_cast<int>(kind);
  if (kind == 18) return 13;
  if (kind == 15) return 14;
  return -1;
}

// The month kinds a line may carry (1..12, 15, 18).
inline constexpr std::array<int, 14> kLineMonthKinds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18};

// The connection is about to close: the checks forget what they found on it.
void ForgetDerivedChecks(sqlite3* db);

// What a whole walk of the packed lines must hand out: the number of lines
// and the wrapping sum of every present side's amount and tax, as the
// totals per tax class give them.
struct WalkTotals {
  int64_t lines = 0;
  uint64_t sum = 0;
};
int32_t ReadWalkTotals(sqlite3* db, int32_t dataNo, WalkTotals* totals);

// Whether a month kind is one a line may carry (1..12, 15, 18).
constexpr bool IsMonthKind(int64_t kind) {
  constexpr uint32_t kKinds = 0x1FFEu | (1u << 15) | (1u << 18);
  return kind >= 0 && kind < 32 && ((kKinds >> kind) & 1u) != 0;
}

// The host error for damaged derived data: "data set N: problem" goes to the
// error log and into the host's message for the code. With markStale, the
// data set's derived data are also marked for a rebuild (quietly: the
// failure is reported either way).
int32_t DamagedDerivedData(sqlite3* db, int32_t dataNo, const std::string& problem, bool markStale);

// The record of the last DamagedDerivedData (empty before any).
std::string LastDamagedDerivedRecord();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDDATACHECK_H_
