#ifndef TAXLINK_MVHOST_PACKEDLINEREADER_H_
#define TAXLINK_MVHOST_PACKEDLINEREADER_H_

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <string_view>

#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// Streams the packed lines of a data set in line order, a chunk at a time.
// Lines changed since their chunk was written (journal_line_change) are
// taken from journal_line instead, each through its key, so that a few
// changed lines cost a few lookups and no chunk has to be rewritten first.
class PackedLineReader {
 public:
  int32_t Open(sqlite3* db, int32_t dataNo);
  // 1 with *line set, 0 at the end, a host failure otherwise. *line stays
  // valid until the next call.
  int32_t Next(const PackedLine** line) {
    if (next_ + sizeof(PackedLine) <= lines_.size()) {
      const auto* candidate = reinterpret_cast<const PackedLine*>(lines_.data() + next_);
      if (candidate->lineId < nextChange_) {
        next_ += sizeof(PackedLine);
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

  SqlStatement chunks_;
  std::string_view lines_;  // the current chunk, read in place
  size_t next_ = 0;
  bool chunksDone_ = true;
  SqlStatement changes_;
  int64_t nextChange_ = std::numeric_limits<int64_t>::max();
  bool changeExists_ = false;  // the changed line is still in journal_line
  PackedLine changed_{};
  PackedLine current_{};  // the changed line handed out last
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_PACKEDLINEREADER_H_
