#ifndef TAXLINK_MVHOST_HOSTCODES_H_
#define TAXLINK_MVHOST_HOSTCODES_H_

#include <cstdint>

namespace mvhost {

// Status codes of the embedded host beyond kHostOk and kHostEndOfData
// (host/HostStatus.h). Negative codes are failures that ClMsgMgr judges
// fatal; positive codes are notices a caller may pass over.

// The program's own code for a host object that could not be created.
constexpr int32_t kErrCreateFailed = -1001;

// The store and its state.
constexpr int32_t kErrNoStore = -2001;      // MVHOST_HOME has no store
constexpr int32_t kErrNoDataSet = -2002;    // no data set for the data id / selection
constexpr int32_t kErrBadArgument = -2003;  // a null pointer or a value out of range
constexpr int32_t kErrNotReady = -2004;     // a walk or cursor that was not prepared
constexpr int32_t kErrUnknownCursor = -2005;
constexpr int32_t kErrEditionMismatch = -2006;  // the home serves another edition
constexpr int32_t kErrLinkClosed = -2007;       // host_state link = closed
constexpr int32_t kErrDamagedStore = -2008;     // the store fails its integrity check
constexpr int32_t kErrNoUser = -2009;           // no current user / unknown user
constexpr int32_t kErrBadImage = -2010;         // a saved return of the wrong size
constexpr int32_t kErrBadPeriod = -2011;        // invalid date, period or closing day
constexpr int32_t kErrOverflow = -2012;         // a sum beyond 64 bits
// SumTax met lines it cannot sum (a rate without a row, an unknown tax
// class): figures without them would be wrong.
constexpr int32_t kErrLinesLeftOut = -2013;
// A text of the store that Shift_JIS cannot hold (a store edited outside
// the import): handed out as it is, it would reach the report changed.
constexpr int32_t kErrBadStoreText = -2014;
// A data set's journal lines or the data derived from them hold what the
// host never writes (a store edited or damaged outside it), and a rebuild
// did not mend it: no figure may come from them.
constexpr int32_t kErrDamagedDerived = -2015;
// A trace sink ended the walk it was given.
constexpr int32_t kErrTraceStopped = -2020;

// The filter evaluator.
constexpr int32_t kErrFilterField = -2101;
constexpr int32_t kErrFilterOperator = -2102;
constexpr int32_t kErrFilterValueType = -2103;
constexpr int32_t kErrFilterGroup = -2104;   // unknown or null group reference
constexpr int32_t kErrFilterDepth = -2105;   // groups nested too deep (or in a cycle)
constexpr int32_t kErrFilterLength = -2106;  // an array without a last condition
constexpr int32_t kErrFilterSide = -2107;
constexpr int32_t kErrFilterLink = -2108;

// SQLite failures: kErrSqlBase - the SQLite primary result code.
constexpr int32_t kErrSqlBase = -3000;
constexpr int32_t kErrSqlLowest = -3999;
constexpr int32_t kErrSqlBusy = kErrSqlBase - 5;    // SQLITE_BUSY: another process holds the store
constexpr int32_t kErrSqlLocked = kErrSqlBase - 6;  // SQLITE_LOCKED
constexpr int32_t kErrSqlCorrupt = kErrSqlBase - 11;  // SQLITE_CORRUPT: a damaged page
constexpr int32_t kErrSqlFull = kErrSqlBase - 13;     // SQLITE_FULL: the disk is full
constexpr int32_t kErrSqlNotADb = kErrSqlBase - 26;   // SQLITE_NOTADB: not a store at all

// Notices.
constexpr int32_t kNoticeNothingSaved = 2001;  // no saved return for the data set
// ExpSysLink: the host asks the program to stop.
constexpr int32_t kLinkStop = 1;

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_HOSTCODES_H_
