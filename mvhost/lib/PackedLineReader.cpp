#include "mvhost/lib/PackedLineReader.h"

#include <algorithm>
#include <string>

#include "mvhost/lib/DerivedChunks.h"

namespace mvhost {

int32_t PackedLineReader::Open(sqlite3* db, int32_t dataNo) {
  return Open(db, dataNo, std::numeric_limits<int64_t>::min(),
              std::numeric_limits<int64_t>::max());
}

int32_t PackedLineReader::Open(sqlite3* db, int32_t dataNo, int64_t firstChunk,
                               int64_t lastChunk) {
  Close();
  db_ = db;
  dataNo_ = dataNo;
  walked_ = WalkTotals();
  whole_ = firstChunk == std::numeric_limits<int64_t>::min() &&
           lastChunk == std::numeric_limits<int64_t>::max();
  // The line ids of the chunks (a chunk's first id fits: ids are 32 bits).
  const int64_t firstLine = whole_ ? std::numeric_limits<int64_t>::min()
                                   : FirstLineOf(std::max<int64_t>(firstChunk, INT32_MIN));
  const int64_t lastLine = whole_ ? std::numeric_limits<int64_t>::max()
                                  : FirstLineOf(std::min<int64_t>(lastChunk, INT32_MAX) + 1) - 1;
  int64_t changed = 0;
  int32_t status = QueryInt(db, "look for changed journal lines",
                            "SELECT 1 FROM journal_line_change WHERE data_no = ? AND line_id "
                            "BETWEEN ? AND ? LIMIT 1",
                            {dataNo, firstLine, lastLine}, &changed);
  if (status != 0) return status;
  if (changed != 0) {
    status = changes_.Prepare(db, ChangedLinesSql("line_id BETWEEN ?2 AND ?3"),
                              "read the changed journal lines");
    if (status != 0) return status;
    changes_.BindAll(1, {dataNo, firstLine, lastLine});
    status = NextChange();
    if (status != 0) return status;
  }
  status = chunks_.Prepare(db,
                           "SELECT lines, typeof(lines) = 'blob', chunk_no, "
                           "typeof(chunk_no) = 'integer' FROM journal_chunk WHERE data_no = ? "
                           "AND chunk_no BETWEEN ? AND ? ORDER BY chunk_no",
                           "read the packed journal lines");
  if (status != 0) return status;
  chunks_.BindAll(1, {dataNo, firstChunk, lastChunk});
  chunksDone_ = false;
  // The first chunk read starts the walk's read transaction; the totals the
  // walk is checked against are read within it, so that another process's
  // commit cannot fall between them.
  status = NextChunk();
  if (status < 0) return status;
  return whole_ ? ReadWalkTotals(db, dataNo, &expected_) : 0;
}

void PackedLineReader::Close() {
  chunks_.Finalize();
  changes_.Finalize();
  lines_ = std::string_view();
  next_ = 0;
  chunkNo_ = -1;
  lastId_ = std::numeric_limits<int64_t>::max();
  chunkEnd_ = std::numeric_limits<int64_t>::min();
  limit_ = std::numeric_limits<int64_t>::min();
  chunksDone_ = true;
  nextChange_ = std::numeric_limits<int64_t>::max();
  changeExists_ = false;
}

int32_t PackedLineReader::Damaged(const std::string& problem, bool mendable) {
  Close();
  return DamagedDerivedData(db_, dataNo_, problem, mendable);
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
  const int64_t chunk = chunks_.Int(2);
  if (chunks_.Int(1) == 0 || chunks_.Int(3) == 0 || lines_.empty() ||
      lines_.size() % sizeof(PackedLine) != 0 ||
      lines_.size() > kLinesPerChunk * sizeof(PackedLine) || chunk <= chunkNo_) {
    return Damaged("chunk " + std::to_string(chunk) + " holds " + std::to_string(lines_.size()) +
                       " bytes, not whole packed lines",
                   true);
  }
  chunkNo_ = chunk;
  lastId_ = FirstLineOf(chunk) - 1;
  chunkEnd_ = FirstLineOf(chunk + 1);
  limit_ = std::min(chunkEnd_, nextChange_);
  return 1;
}

int32_t PackedLineReader::NextChange() {
  if (!changes_.IsPrepared()) {
    nextChange_ = std::numeric_limits<int64_t>::max();
    limit_ = std::min(chunkEnd_, nextChange_);
    return 0;
  }
  int32_t step = changes_.Step();
  if (step <= 0) {
    changes_.Finalize();
    nextChange_ = std::numeric_limits<int64_t>::max();
    changeExists_ = false;
    limit_ = std::min(chunkEnd_, nextChange_);
    return step;
  }
  nextChange_ = changes_.Int(0);
  changeExists_ = changes_.Int(1) != 0;
  changeSound_ = !changeExists_ || changes_.Int(2) != 0;
  limit_ = std::min(chunkEnd_, nextChange_);
  if (changeExists_ && changeSound_ && !ReadPackedNote(changes_.BlobView(3), &changed_)) {
    return Damaged("the note of journal line " + std::to_string(nextChange_) + " is damaged", true);
  }
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
    if (candidate != nullptr) {
      if (candidate->lineId <= lastId_ || candidate->lineId >= chunkEnd_ ||
          !IsMonthKind(candidate->monthKind)) {
        const std::string where = "chunk " + std::to_string(chunkNo_) + ": packed line " +
                                  std::to_string(candidate->lineId);
        return Damaged(IsMonthKind(candidate->monthKind)
                           ? where + " is out of place"
                           : where + " has month kind " + std::to_string(candidate->monthKind),
                       true);
      }
      if (candidate->lineId < nextChange_) {
        next_ += sizeof(PackedLine);
        lastId_ = candidate->lineId;
        Count(*candidate);
        *line = candidate;
        return 1;
      }
    }
    if (candidate == nullptr && nextChange_ == std::numeric_limits<int64_t>::max()) {
      // A whole walk: it handed out what the totals count.
      if (whole_ && (walked_.lines != expected_.lines || walked_.sum != expected_.sum)) {
        const int64_t walked = walked_.lines;
        return Damaged("the chunks hold " + std::to_string(walked) + " lines, the totals count " +
                           std::to_string(expected_.lines) +
                           (walked == expected_.lines ? " but other amounts" : ""),
                       true);
      }
      return 0;
    }
    // The changed line replaces its packed form (or comes between two).
    if (candidate != nullptr && candidate->lineId == nextChange_) {
      next_ += sizeof(PackedLine);
      lastId_ = candidate->lineId;
    }
    const bool exists = changeExists_;
    if (exists && !changeSound_) {
      return Damaged(
          "journal line " + std::to_string(nextChange_) + " holds a value the host never writes",
          false);
    }
    current_ = changed_;
    int32_t status = NextChange();
    if (status < 0) return status;
    if (exists) {
      Count(current_);
      *line = &current_;
      return 1;
    }
  }
}

}  // namespace mvhost
