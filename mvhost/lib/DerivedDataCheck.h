#ifndef TAXLINK_MVHOST_DERIVEDDATACHECK_H_
#define TAXLINK_MVHOST_DERIVEDDATACHECK_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace mvhost {

// Checks of a data set's derived journal data (JournalDerived) as they are
// read, so that a store edited or damaged outside the host never yields a
// figure from a broken chunk or total. Each returns 0 with problem empty
// when the data are sound, 0 with problem set ("chunk 2 holds 100 bytes,
// not whole lines") when they are not, or a host failure of the reading.

// The chunks are blobs of whole packed lines, as many as the totals count;
// the totals hold integers and known month kinds; the totals per tax class,
// per account and per department add up to the same amounts and taxes.
// Data found sound are not checked again on the same connection until the
// store changes (its data version, or a change made through db).
int32_t CheckDerivedData(sqlite3* db, int32_t dataNo, std::string* problem);

// An SQL expression over a journal_line row: 1 when it holds integers where
// the store declares them (a rate may also be a fraction: it counts as its
// whole part) and a known month kind. The derived data are built only from
// such lines (an amount edited to 'abc' would be summed as 0).
std::string JournalLineSoundSql();

// Whether a month kind is one a line may carry (1..12, 15, 18).
constexpr bool IsMonthKind(int64_t kind) {
  return (kind >= 1 && kind <= 12) || kind == 15 || kind == 18;
}

// The host error for damaged derived data that a rebuild did not mend or
// that a walk met: "data set N: problem" goes to the error log and into the
// host's message for the code.
int32_t DamagedDerivedData(int32_t dataNo, const std::string& problem);

// The record of the last DamagedDerivedData (empty before any).
std::string LastDamagedDerivedRecord();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDDATACHECK_H_
