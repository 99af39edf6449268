#ifndef TAXLINK_MVHOST_DERIVEDCHUNKS_H_
#define TAXLINK_MVHOST_DERIVEDCHUNKS_H_

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <string>

#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

class DerivedTotals;

// Lines are packed into chunks by their id: chunk k holds the lines with
// ids k * 1024 .. k * 1024 + 1023, so a changed line names its chunk.
constexpr int kChunkShift = 10;
static_assert((int64_t{1} << kChunkShift) == static_cast<int64_t>(kLinesPerChunk));
constexpr int64_t ChunkOf(int64_t lineId) { return lineId >> kChunkShift; }
constexpr int64_t FirstLineOf(int64_t chunk) { return chunk * (int64_t{1} << kChunkShift); }

// The columns of journal_line that make a PackedLine, in the order
// PackedLineOf reads them.
extern const char kPackedColumnsSql[];
constexpr int kPackedColumns = 16;
// The changed lines of data set ?1 that meet `range` (of line_id), in line
// order, as journal_line_change notes them: the line id, whether the line
// is present, whether it is sound (SoundPackedColumns), its packed note.
std::string ChangedLinesSql(const std::string& range);
// An SQL expression over the journal_line row `row`: the PackedLine that
// PackedLineOf makes of it, as text of fixed width (each member in
// hexadecimal, two's complement); ReadPackedNote reads it back. A sound
// row's note is all its PackedLine holds; another row's is not read.
std::string PackedNoteSql(const std::string& row);
// False when the text is not such a note.
bool ReadPackedNote(std::string_view note, PackedLine* line);
// Whether a row selected with kPackedColumnsSql holds, from column `first`
// on, what the host writes: integers where the store declares them (a rate
// may also be a fraction: it counts as its whole part) and a known month
// kind. Lines are packed only from such rows (an amount edited to 'abc'
// would be packed as 0). Ask before the row's values are read: reading
// converts them.
bool SoundPackedColumns(const SqlStatement& row, int first);
// A row selected with kPackedColumnsSql from column `first` on.
PackedLine PackedLineOf(const SqlStatement& row, int first);
// The failure for a line that holds what the host never writes (an amount
// edited to 'abc' would be packed as 0): the lines are never packed from it.
int32_t UnsoundLine(sqlite3* db, int32_t dataNo, int64_t lineId);

// The chunks of a data set that hold changed lines, in chunk order: the
// next changed line from the chunk after the last one names the next
// chunk, a seek each, not a pass over every note.
class ChangedChunks {
 public:
  int32_t Open(sqlite3* db, int32_t dataNo);
  // 1 with the next chunk in *chunk, 0 past the last, a failure otherwise.
  int32_t Next(int64_t* chunk);

 private:
  SqlStatement next_;
  int32_t dataNo_ = 0;
  int64_t from_ = std::numeric_limits<int64_t>::min();
};

// Writes the packed lines of one data set, given in increasing line order,
// as the rows of journal_chunk; chunks with no lines between the ones it
// writes are removed.
class ChunkWriter {
 public:
  ChunkWriter(sqlite3* db, int32_t dataNo) : db_(db), dataNo_(dataNo) {}

  int32_t Add(int64_t lineId, const PackedLine& line);
  // Writes the chunk in hand; the next line may be in the same chunk only
  // when it comes in a later call of Add after Flush (a rebuild's batches
  // end at chunk boundaries).
  int32_t Flush();
  // Removes the chunks after the last one written (or all when none was).
  int32_t RemoveRest();
  // The chunk of the last line given (or of none).
  int64_t chunk() const { return chunk_; }
  int64_t lines() const { return lines_; }

 private:
  int32_t Write(int64_t chunk, const std::string& packed);

  sqlite3* db_;
  int64_t dataNo_;
  std::string packed_;
  int64_t chunk_ = std::numeric_limits<int64_t>::min();
  int64_t written_ = std::numeric_limits<int64_t>::min();  // the last chunk written
  int64_t lines_ = 0;
};

// Rewrites from journal_line the chunks of up to maxChunks chunks that hold
// changed lines (journal_line_change), and forgets those changes. With
// totals, each rewritten chunk's old lines are taken out of them and its
// current lines put in. *chunks gets the number of chunks rewritten.
int32_t FoldChanges(sqlite3* db, int32_t dataNo, int64_t maxChunks, DerivedTotals* totals,
                    int64_t* chunks);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DERIVEDCHUNKS_H_
