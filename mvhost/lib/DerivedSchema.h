#ifndef TAXLINK_MVHOST_DERIVEDSCHEMA_H_
#define TAXLINK_MVHOST_DERIVEDSCHEMA_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace mvhost {

// The tables and triggers of the derived journal data (JournalDerived.h).
//
// The triggers keep them current for writes the host does not make itself
// (another tool on the store): they fire only for the columns the derived
// data use and only when a value changes. For a data set whose derived data
// are built they add and subtract the line's contributions to the totals,
// and for any data set with a state row they note the line's id in
// journal_line_change, so that readers take such lines from journal_line
// until their chunk is rewritten.
class DerivedSchema {
 public:
  enum class Shape {
    kCurrent,   // the tables and triggers of this build
    kOutdated,  // missing, or from an earlier build: Migrate first
  };
  // What the store holds; a host failure when it cannot be read.
  static int32_t Inspect(sqlite3* db, Shape* shape);
  // Creates or upgrades the tables and triggers, within the caller's
  // transaction. Data sets whose derived data came from an earlier build
  // are left marked for a rebuild.
  static int32_t Migrate(sqlite3* db);
  // The same tables (no triggers) in the connection's temp schema, where
  // they hide the store's: a connection that cannot write the store builds
  // the derived data it needs there.
  static int32_t CreateInTemp(sqlite3* db);
  // True when the connection uses temp tables of its own.
  static bool UsesTemp(sqlite3* db);

  // Whether sql is the text of this build's trigger that applies a line's
  // contributions, as sqlite_schema keeps it: its length and digest are
  // compared, so that a run does not build the text.
  static bool IsCurrentApplyTrigger(std::string_view sql);
  // That text, built (Migrate creates the trigger from it).
  static const std::string& ApplyTriggerText();
  // A 64-bit digest of text.
  static uint64_t TextDigest(std::string_view text);
};

// Runs SQL without results; 0 or a host failure (nothing is logged). The
// derived data's writes and their transactions run through here: a read
// transaction a host service's ReadScope holds on db is ended first, so that
// a write never runs inside it (BEGIN IMMEDIATE would fail there, and a
// write would take the lock without waiting for a busy store).
int32_t ExecQuietly(sqlite3* db, const char* sql);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDSCHEMA_H_
