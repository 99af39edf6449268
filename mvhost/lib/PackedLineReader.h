#ifndef TAXLINK_MVHOST_PACKEDLINEREADER_H_
#define TAXLINK_MVHOST_PACKEDLINEREADER_H_

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// Streams the packed lines of a data set in line order, a chunk at a time.
// Lines changed since their chunk was written (journal_line_change) are
// taken from journal_line instead, each through its key, so that a few
// changed lines cost a few lookups and no chunk has to be rewritten first.
//
// The lines are checked as they are handed out: a chunk must be a blob of
// whole lines, each line within its chunk's ids, after the one before and of
// a known month kind, and a whole walk must hand out the lines and amounts
// the totals per tax class count. Damage fails the walk (kErrDamagedDerived,
// naming the data set) and marks the derived data for a rebuild.
class PackedLineReader {
 public:
  int32_t Open(sqlite3* db, int32_t dataNo);
  // The lines of chunks firstChunk to lastChunk only (with their changed
  // lines); such a walk is not checked against the totals, which count
  // every line: walked() tells the caller what it handed out.
  int32_t Open(sqlite3* db, int32_t dataNo, int64_t firstChunk, int64_t lastChunk);
  // The lines handed out so far and the wrapping sum of their present
  // sides' amounts and taxes.
  const WalkTotals& walked() const { return walked_; }
  // 1 with *line set, 0 at the end, a host failure otherwise. *line stays
  // valid until the next call.
  int32_t Next(const PackedLine** line) {
    if (next_ + sizeof(PackedLine) <= lines_.size()) {
      const auto* candidate = reinterpret_cast<const PackedLine*>(lines_.data() + next_);
      if (candidate->lineId < limit_ && candidate->lineId > lastId_ &&
          IsMonthKind(candidate->monthKind)) {
        next_ += sizeof(PackedLine);
        lastId_ = candidate->lineId;
        Count(*candidate);
        *line = candidate;
        return 1;
      }
    }
    return NextSlow(line);
  }
  void Close();

 private:
  int32_t NextSlow(const PackedLine** line);
  // Reads the next chunk into lines_; 0 when there is none.
  int32_t NextChunk();
  // Steps to the next changed line; nextChange_ is its id (past the end:
  // the largest id).
  int32_t NextChange();
  int32_t Damaged(const std::string& problem, bool mendable);
  void Count(const PackedLine& line) {
    auto side = [](int32_t present, int64_t amount, int64_t tax) {
      return present != 0 ? static_cast<uint64_t>(amount) + static_cast<uint64_t>(tax) : 0;
    };
    ++walked_.lines;
    walked_.sum += side(line.hasDebit, line.debitAmount, line.debitTax) +
                   side(line.hasCredit, line.creditAmount, line.creditTax);
  }

  sqlite3* db_ = nullptr;
  int32_t dataNo_ = 0;
  SqlStatement chunks_;
  std::string_view lines_;  // the current chunk, read in place
  size_t next_ = 0;
  int64_t chunkNo_ = -1;
  int64_t lastId_ = std::numeric_limits<int64_t>::max();    // the chunk line handed out last
  int64_t chunkEnd_ = std::numeric_limits<int64_t>::min();  // the first id past the chunk
  int64_t limit_ = std::numeric_limits<int64_t>::min();     // the lesser of the two below
  bool chunksDone_ = true;
  SqlStatement changes_;
  int64_t nextChange_ = std::numeric_limits<int64_t>::max();
  bool changeExists_ = false;  // the changed line is still in journal_line
  bool changeSound_ = true;    // it holds what the host writes
  PackedLine changed_{};
  PackedLine current_{};  // the changed line handed out last
  bool whole_ = true;  // every chunk is read: the walk is checked against the totals
  WalkTotals expected_;
  WalkTotals walked_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_PACKEDLINEREADER_H_
