#include "mvhost/lib/PackedLineReader.h"

#include <string>

#include "mvhost/lib/DerivedChunks.h"

namespace mvhost {

int32_t PackedLineReader::Open(sqlite3* db, int32_t dataNo) {
  Close();
  int64_t changed = 0;
  int32_t status =
      QueryInt(db, "look for changed journal lines",
               "SELECT 1 FROM journal_line_change WHERE data_no = ? LIMIT 1", {dataNo},
               &changed);
  if (status != 0) return status;
  if (changed != 0) {
    status = changes_.Prepare(
        db,
        "SELECT c.line_id, l.line_id IS NOT NULL, " + PackedColumnsOf("l") +
            " FROM journal_line_change c LEFT JOIN journal_line l"
            " ON l.data_no = c.data_no AND l.line_id = c.line_id"
            " WHERE c.data_no = ? ORDER BY c.line_id",
        "read the changed journal lines");
    if (status != 0) return status;
    changes_.BindInt(1, dataNo);
    status = NextChange();
    if (status != 0) return status;
  }
  status = chunks_.Prepare(
      db, "SELECT lines FROM journal_chunk WHERE data_no = ? ORDER BY chunk_no",
      "read the packed journal lines");
  if (status != 0) return status;
  chunks_.BindInt(1, dataNo);
  chunksDone_ = false;
  return 0;
}

void PackedLineReader::Close() {
  chunks_.Finalize();
  changes_.Finalize();
  lines_ = std::string_view();
  next_ = 0;
  chunksDone_ = true;
  nextChange_ = std::numeric_limits<int64_t>::max();
  changeExists_ = false;
}

int32_t PackedLineReader::NextChunk() {
  lines_ = std::string_view();
  next_ = 0;
  int32_t step = chunks_.Step();
  if (step <= 0) {
    chunks_.Finalize();
    chunksDone_ = true;
    return step;
  }
  lines_ = chunks_.BlobView(0);
  return 1;
}

int32_t PackedLineReader::NextChange() {
  if (!changes_.IsPrepared()) {
    nextChange_ = std::numeric_limits<int64_t>::max();
    return 0;
  }
  int32_t step = changes_.Step();
  if (step <= 0) {
    changes_.Finalize();
    nextChange_ = std::numeric_limits<int64_t>::max();
    changeExists_ = false;
    return step;
  }
  nextChange_ = changes_.Int(0);
  changeExists_ = changes_.Int(1) != 0;
  if (changeExists_) changed_ = PackedLineOf(changes_, 2);
  return 0;
}

int32_t PackedLineReader::NextSlow(const PackedLine** line) {
  for (;;) {
    if (next_ + sizeof(PackedLine) > lines_.size() && !chunksDone_) {
      int32_t status = NextChunk();
      if (status < 0) return status;
      continue;
    }
    const bool chunkLine = next_ + sizeof(PackedLine) <= lines_.size();
    const auto* candidate =
        chunkLine ? reinterpret_cast<const PackedLine*>(lines_.data() + next_) : nullptr;
    if (candidate != nullptr && candidate->lineId < nextChange_) {
      next_ += sizeof(PackedLine);
      *line = candidate;
      return 1;
    }
    if (candidate == nullptr && nextChange_ == std::numeric_limits<int64_t>::max()) return 0;
    // The changed line replaces its packed form (or comes between two).
    if (candidate != nullptr && candidate->lineId == nextChange_) next_ += sizeof(PackedLine);
    const bool exists = changeExists_;
    current_ = changed_;
    int32_t status = NextChange();
    if (status < 0) return status;
    if (exists) {
      *line = &current_;
      return 1;
    }
  }
}

}  // namespace mvhost
