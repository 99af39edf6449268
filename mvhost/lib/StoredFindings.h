#ifndef TAXLINK_MVHOST_STOREDFINDINGS_H_
#define TAXLINK_MVHOST_STOREDFINDINGS_H_

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "mvhost/lib/CheckFinding.h"

namespace mvhost {

// The bookkeeping check's findings of a data set over a range of months,
// kept in the store (table check_findings) so that a check of books nobody
// changed reads them instead of walking every line. They are kept per data
// set and months as the check was asked (0-0: the whole period): the counts
// per rule and the first kKept findings with their texts.
//
// What the findings are made of besides the lines (the data set's row with
// its settings and period, rates, account classes, accounts, fixed assets)
// is read again by every check anyway: a digest of all their columns is
// kept with the findings, which are read only while it is the same.
// Triggers made with the table count, in the writer's own transaction, the
// other changes per data set (check_findings_change): a journal line that
// changes (its note in journal_line_change), the derived data built, marked
// for a rebuild or removed with the data set (journal_derived_state). They
// are few and short, as every connection that opens the store parses them.
// Findings are read only at the count they were made at, while the data
// set's derived data are built in the store itself, and kept only when
// neither the count nor the digest moved since the check began to read the
// lines, so a change made during the check is never hidden. kRules names
// the rules and texts they were made by: findings of another build's rules
// are not read.
class StoredFindings {
 public:
  // The most findings kept with their texts; past them only the counts. A
  // batch lists at most 1000 in a client's findings file.
  static constexpr size_t kKept = 1000;
  // Raise whenever a rule or the text of a finding changes.
  static constexpr int64_t kRules = 3;

  CheckCounts counts;
  std::vector<CheckFinding> findings;  // the first kKept, in check order
  // Whether `findings` holds every finding counted.
  bool Complete() const { return static_cast<int64_t>(findings.size()) == counts.Total(); }

  // What the store holds when a check begins to read: the digest of the
  // data set's rows besides the lines, and the changes counted for it since
  // the first check kept findings (before that, -1 and the store's version
  // as this connection sees it).
  // The store's version as this connection sees it and the rows this
  // connection changed so far are taken too: a write that finds both where
  // they were knows that nothing was committed since, and takes the digest
  // and the count as they were instead of reading them again.
  struct Stamp {
    bool headRead = false;  // the digest of the rows besides the lines
    int64_t head = 0;
    int64_t changes = -1;
    int64_t dataVersion = -1;
    int64_t ownChanges = -1;
    int64_t epoch = -1;  // the data set's epoch (kept with the chunks' parts)
  };
  static Stamp Take(sqlite3* db, int32_t dataNo);

  // Reads the findings kept for data set dataNo over months start..end;
  // false when there are none, they are not current, or do not read back
  // whole.
  bool Read(sqlite3* db, int32_t dataNo, int startMonth, int endMonth);

  // Keeps these findings when the store can be written at once (no wait on
  // another writer) and nothing they are made of changed since `stamp`
  // (before any check kept findings: no other connection committed);
  // otherwise nothing is kept. A failure leaves the store as it was. True
  // when they were kept.
  bool Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth, const Stamp& stamp) const;

  // The same, with the parts of every chunk (EncodeCheckParts) kept beside
  // them for this data set and months; empty: none.
  bool Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth, const Stamp& stamp,
             const std::string& parts) const;

  // The same, with the caller's rows (`alongside` writes them) in the same
  // transaction: one commit and its syncs instead of two. They are written
  // whether or not the findings are kept; *alongsideWritten says whether
  // they were (false: nothing of theirs is in the store, e.g. the store was
  // busy).
  bool Write(sqlite3* db, int32_t dataNo, int startMonth, int endMonth, const Stamp& stamp,
             const std::string& parts, const std::function<bool()>& alongside,
             bool* alongsideWritten) const;

  // The parts kept for data set dataNo over months start..end, when they
  // were made by these rules, with the same digest `head` of the rows
  // besides the lines and no rebuild since.
  // False when there are none.
  static bool ReadParts(sqlite3* db, int32_t dataNo, int startMonth, int endMonth, int64_t head,
                        std::string* parts);
  // The changes counted per chunk of the data set's lines (a chunk not
  // there: none).
  static void ChunkChanges(sqlite3* db, int32_t dataNo,
                           std::unordered_map<int64_t, int64_t>* changes);

  // The stored form, and back (false when the bytes are not one whole).
  std::string Encode() const;
  bool Decode(const std::string& bytes);
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_STOREDFINDINGS_H_
