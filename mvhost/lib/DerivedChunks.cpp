#include "mvhost/lib/DerivedChunks.h"

#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/DerivedTotals.h"

namespace mvhost {

const char kPackedColumnsSql[] =
    "line_id, journal_no, date, month_kind, tax_rate, business_type, "
    "debit_account, debit_dept, debit_tax_class, debit_amount, debit_tax, "
    "credit_account, credit_dept, credit_tax_class, credit_amount, credit_tax";

std::string ChangedLinesSql(const std::string& range) {
  return "SELECT line_id, present, sound, packed FROM journal_line_change WHERE data_no = ?1 AND " +
         range + " ORDER BY line_id";
}

namespace {

// The members of PackedLine in their order: the journal_line column each is
// made of (a side is present when its account is not null).
struct NoteMember {
  const char* column;
  bool presence;
  size_t offset;
  size_t size;
};
#define TAXLINK_NOTE_MEMBER(column, presence, member) \
  { column, presence, offsetof(PackedLine, member), sizeof(PackedLine::member) }
constexpr NoteMember kNoteMembers[] = {
    TAXLINK_NOTE_MEMBER("line_id", false, lineId),
    TAXLINK_NOTE_MEMBER("journal_no", false, journalNo),
    TAXLINK_NOTE_MEMBER("date", false, date),
    TAXLINK_NOTE_MEMBER("month_kind", false, monthKind),
    TAXLINK_NOTE_MEMBER("tax_rate", false, taxRate),
    TAXLINK_NOTE_MEMBER("business_type", false, businessType),
    TAXLINK_NOTE_MEMBER("debit_account", true, hasDebit),
    TAXLINK_NOTE_MEMBER("debit_account", false, debitAccount),
    TAXLINK_NOTE_MEMBER("debit_dept", false, debitDept),
    TAXLINK_NOTE_MEMBER("debit_tax_class", false, debitTaxClass),
    TAXLINK_NOTE_MEMBER("debit_amount", false, debitAmount),
    TAXLINK_NOTE_MEMBER("debit_tax", false, debitTax),
    TAXLINK_NOTE_MEMBER("credit_account", true, hasCredit),
    TAXLINK_NOTE_MEMBER("credit_account", false, creditAccount),
    TAXLINK_NOTE_MEMBER("credit_dept", false, creditDept),
    TAXLINK_NOTE_MEMBER("credit_tax_class", false, creditTaxClass),
    TAXLINK_NOTE_MEMBER("credit_amount", false, creditAmount),
    TAXLINK_NOTE_MEMBER("credit_tax", false, creditTax),
};
#undef TAXLINK_NOTE_MEMBER

constexpr size_t NoteLength() {
  size_t length = 0;
  for (const NoteMember& member : kNoteMembers) length += member.size * 2;
  return length;
}
static_assert(NoteLength() == sizeof(PackedLine) * 2, "every member of PackedLine noted");

// The value of each lower-case hexadecimal digit; 16 for any other byte.
constexpr std::array<uint8_t, 256> kHexDigits = [] {
  std::array<uint8_t, 256> digits{};
  digits.fill(16);
  for (int i = 0; i < 10; ++i) digits['0' + i] = static_cast<uint8_t>(i);
  for (int i = 0; i < 6; ++i) digits['a' + i] = static_cast<uint8_t>(10 + i);
  return digits;
}();

}  // namespace

std::string PackedNoteSql(const std::string& row) {
  // The members as sqlite3_column_int64 and PackedLineOf read them: an
  // integer's low 32 bits for the 32-bit ones, a fraction's whole part.
  std::string format;
  std::string values;
  for (const NoteMember& member : kNoteMembers) {
    const std::string column = row + "." + member.column;
    const std::string value =
        member.presence ? "(" + column + " IS NOT NULL)" : "CAST(" + column + " AS INTEGER)";
    format += member.size == 8 ? "%016x" : "%08x";
    values += ", " + (member.size == 8 ? value : value + " & 4294967295");
  }
  return "printf('" + format + "'" + values + ")";
}

bool ReadPackedNote(std::string_view note, PackedLine* line) {
  if (note.size() != NoteLength()) return false;
  auto* bytes = reinterpret_cast<unsigned char*>(line);
  size_t at = 0;
  for (const NoteMember& member : kNoteMembers) {
    uint64_t value = 0;
    uint8_t seen = 0;  // bit 4 set when a byte was no digit
    for (size_t i = 0; i < member.size * 2; ++i) {
      const uint8_t digit = kHexDigits[static_cast<unsigned char>(note[at++])];
      seen |= digit;
      value = (value << 4) | (digit & 15u);
    }
    if ((seen & 16u) != 0) return false;
    if (member.size == 8) {
      std::memcpy(bytes + member.offset, &value, 8);
    } else {
      const auto low = static_cast<uint32_t>(value);
      std::memcpy(bytes + member.offset, &low, 4);
    }
  }
  return true;
}

bool SoundPackedColumns(const SqlStatement& row, int first) {
  // The columns of kPackedColumnsSql after line_id; the two accounts may be
  // null (no such side), the rate a fraction.
  enum Kind { kInteger, kIntegerOrNull, kNumber };
  static constexpr Kind kKinds[kPackedColumns - 1] = {
      kInteger, kInteger, kInteger,       kNumber,  kInteger, kIntegerOrNull, kInteger, kInteger,
      kInteger, kInteger, kIntegerOrNull, kInteger, kInteger, kInteger,       kInteger};
  for (int i = 0; i < kPackedColumns - 1; ++i) {
    const int type = row.Type(first + 1 + i);
    const bool sound = type == SQLITE_INTEGER ||
                       (kKinds[i] == kIntegerOrNull && type == SQLITE_NULL) ||
                       (kKinds[i] == kNumber && type == SQLITE_FLOAT);
    if (!sound) return false;
  }
  return IsMonthKind(row.Int(first + 3));
}

int32_t UnsoundLine(sqlite3* db, int32_t dataNo, int64_t lineId) {
  return DamagedDerivedData(
      db, dataNo, "journal line " + std::to_string(lineId) + " holds a value the host never writes",
      false);
}

PackedLine PackedLineOf(const SqlStatement& row, int first) {
  auto i32 = [&](int column) { return static_cast<int32_t>(row.Int(first + column)); };
  PackedLine line;
  std::memset(&line, 0, sizeof(line));
  line.lineId = i32(0);
  line.journalNo = i32(1);
  line.date = i32(2);
  line.monthKind = i32(3);
  line.taxRate = i32(4);
  line.businessType = i32(5);
  line.hasDebit = row.IsNull(first + 6) ? 0 : 1;
  line.debitAccount = i32(6);
  line.debitDept = i32(7);
  line.debitTaxClass = i32(8);
  line.debitAmount = row.Int(first + 9);
  line.debitTax = row.Int(first + 10);
  line.hasCredit = row.IsNull(first + 11) ? 0 : 1;
  line.creditAccount = i32(11);
  line.creditDept = i32(12);
  line.creditTaxClass = i32(13);
  line.creditAmount = row.Int(first + 14);
  line.creditTax = row.Int(first + 15);
  return line;
}

namespace {

// Stores one chunk's packed lines in place of what it held.
int32_t StoreChunk(sqlite3* db, int64_t dataNo, int64_t chunk, const std::string& packed) {
  SqlStatement insert;
  int32_t status = insert.Prepare(
      db, "INSERT OR REPLACE INTO journal_chunk (data_no, chunk_no, lines) VALUES (?, ?, ?)",
      "store the packed journal lines");
  if (status != 0) return status;
  insert.BindInt(1, dataNo);
  insert.BindInt(2, chunk);
  insert.BindBlob(3, packed);
  int32_t step = insert.Step();
  return step < 0 ? step : 0;
}

}  // namespace

int32_t ChunkWriter::Add(int64_t lineId, const PackedLine& line) {
  const int64_t chunk = ChunkOf(lineId);
  if (chunk != chunk_) {
    int32_t status = Flush();
    if (status != 0) return status;
    chunk_ = chunk;
  }
  packed_.append(reinterpret_cast<const char*>(&line), sizeof(line));
  ++lines_;
  return 0;
}

int32_t ChunkWriter::Flush() {
  if (packed_.empty()) return 0;
  int32_t status = Write(chunk_, packed_);
  packed_.clear();
  return status;
}

int32_t ChunkWriter::Write(int64_t chunk, const std::string& packed) {
  int64_t ignored = 0;
  int32_t status = QueryInt(db_, "remove the packed journal lines of removed lines",
                            "DELETE FROM journal_chunk WHERE data_no = ? AND chunk_no > ? AND "
                            "chunk_no < ?",
                            {dataNo_, written_, chunk}, &ignored);
  if (status != 0) return status;
  status = StoreChunk(db_, dataNo_, chunk, packed);
  if (status != 0) return status;
  written_ = chunk;
  return 0;
}

int32_t ChunkWriter::RemoveRest() {
  int64_t ignored = 0;
  return QueryInt(db_, "remove the packed journal lines of removed lines",
                  "DELETE FROM journal_chunk WHERE data_no = ? AND chunk_no > ?",
                  {dataNo_, written_}, &ignored);
}

namespace {

// Stores a chunk's packed lines, or removes the chunk when it has none, and
// forgets the changes of its lines.
int32_t ReplaceChunk(sqlite3* db, int32_t dataNo, int64_t chunk, const std::string& packed) {
  const int64_t first = FirstLineOf(chunk);
  const int64_t last = first + static_cast<int64_t>(kLinesPerChunk) - 1;
  int64_t ignored = 0;
  int32_t status = packed.empty()
                       ? QueryInt(db, "remove the packed journal lines of removed lines",
                                  "DELETE FROM journal_chunk WHERE data_no = ? AND chunk_no = ?",
                                  {dataNo, chunk}, &ignored)
                       : StoreChunk(db, dataNo, chunk, packed);
  if (status != 0) return status;
  return QueryInt(db, "forget the changes of rewritten journal lines",
                  "DELETE FROM journal_line_change WHERE data_no = ? AND line_id BETWEEN ? AND ?",
                  {dataNo, first, last}, &ignored);
}

// The packed lines of a stored chunk, when they are whole lines of the
// chunk's ids in line order (what a walk would accept); empty otherwise.
std::vector<PackedLine> SoundChunkLines(std::string_view bytes, int64_t chunk) {
  std::vector<PackedLine> lines;
  if (bytes.empty() || bytes.size() % sizeof(PackedLine) != 0 ||
      bytes.size() > kLinesPerChunk * sizeof(PackedLine)) {
    return lines;
  }
  lines.resize(bytes.size() / sizeof(PackedLine));
  std::memcpy(lines.data(), bytes.data(), bytes.size());
  int64_t before = FirstLineOf(chunk) - 1;
  for (const PackedLine& line : lines) {
    if (line.lineId <= before || line.lineId >= FirstLineOf(chunk + 1) ||
        !IsMonthKind(line.monthKind)) {
      return {};
    }
    before = line.lineId;
  }
  return lines;
}

// Rewrites chunk `chunk` from the lines now in journal_line.
int32_t RewriteChunk(sqlite3* db, int32_t dataNo, int64_t chunk, const std::string_view old,
                     DerivedTotals* totals) {
  const int64_t first = FirstLineOf(chunk);
  const int64_t last = first + static_cast<int64_t>(kLinesPerChunk) - 1;
  if (totals != nullptr) {
    for (size_t at = 0; at + sizeof(PackedLine) <= old.size(); at += sizeof(PackedLine)) {
      PackedLine line;
      std::memcpy(&line, old.data() + at, sizeof(line));
      totals->Add(line, -1);
    }
  }
  SqlStatement lines;
  int32_t status = lines.Prepare(
      db,
      std::string("SELECT ") + kPackedColumnsSql +
          " FROM journal_line WHERE data_no = ? AND line_id BETWEEN ? AND ? ORDER BY line_id",
      "read the changed journal lines");
  if (status != 0) return status;
  lines.BindAll(1, {dataNo, first, last});
  std::string packed;
  int32_t step = 0;
  while ((step = lines.Step()) == 1) {
    if (!SoundPackedColumns(lines, 0)) return UnsoundLine(db, dataNo, lines.Int(0));
    const PackedLine line = PackedLineOf(lines, 0);
    if (totals != nullptr) totals->Add(line, 1);
    packed.append(reinterpret_cast<const char*>(&line), sizeof(line));
  }
  if (step < 0) return step;
  return ReplaceChunk(db, dataNo, chunk, packed);
}

// Rewrites chunk `chunk` with its changed lines merged into the lines it
// holds, as journal_line_change notes them (no line is looked up). A chunk
// that is missing or would not pass a walk is rewritten from journal_line.
int32_t FoldChunk(sqlite3* db, int32_t dataNo, int64_t chunk, DerivedTotals* totals) {
  SqlStatement old;
  int32_t status =
      old.Prepare(db,
                  "SELECT lines, typeof(lines) = 'blob' FROM journal_chunk WHERE data_no = ? AND "
                  "chunk_no = ?",
                  "read the packed journal lines");
  if (status != 0) return status;
  old.BindAll(1, {dataNo, chunk});
  int32_t step = old.Step();
  if (step < 0) return step;
  const std::string held(step == 1 ? old.BlobView(0) : std::string_view());
  const std::vector<PackedLine> kept =
      step == 1 && old.Int(1) != 0 ? SoundChunkLines(held, chunk) : std::vector<PackedLine>();
  old.Finalize();

  // The chunk's notes (at most one per line id of the chunk).
  struct Note {
    int64_t id;
    bool present;
    PackedLine line;
  };
  std::vector<Note> notes;
  bool readable = true;
  const int64_t first = FirstLineOf(chunk);
  SqlStatement changes;
  status = changes.Prepare(db, ChangedLinesSql("line_id BETWEEN ?2 AND ?3"),
                           "read the changed journal lines");
  if (status != 0) return status;
  changes.BindAll(1, {dataNo, first, first + static_cast<int64_t>(kLinesPerChunk) - 1});
  while ((step = changes.Step()) == 1) {
    Note note{changes.Int(0), changes.Int(1) != 0, {}};
    if (note.present && changes.Int(2) == 0) return UnsoundLine(db, dataNo, note.id);
    if (note.present) readable = readable && ReadPackedNote(changes.BlobView(3), &note.line);
    notes.push_back(note);
  }
  if (step < 0) return step;
  changes.Finalize();
  if (kept.empty() || !readable) return RewriteChunk(db, dataNo, chunk, held, totals);

  std::string packed;
  packed.reserve((kept.size() + notes.size()) * sizeof(PackedLine));
  auto keep = [&](const PackedLine& line) {
    packed.append(reinterpret_cast<const char*>(&line), sizeof(line));
  };
  size_t next = 0;
  for (const Note& note : notes) {
    for (; next < kept.size() && kept[next].lineId < note.id; ++next) keep(kept[next]);
    if (next < kept.size() && kept[next].lineId == note.id) {
      if (totals != nullptr) totals->Add(kept[next], -1);
      ++next;
    }
    if (note.present) {
      if (totals != nullptr) totals->Add(note.line, 1);
      keep(note.line);
    }
  }
  for (; next < kept.size(); ++next) keep(kept[next]);
  return ReplaceChunk(db, dataNo, chunk, packed);
}

}  // namespace

int32_t ChangedChunks::Open(sqlite3* db, int32_t dataNo) {
  dataNo_ = dataNo;
  from_ = std::numeric_limits<int64_t>::min();
  return next_.Prepare(db,
                       "SELECT line_id FROM journal_line_change WHERE data_no = ? AND "
                       "line_id >= ? ORDER BY line_id LIMIT 1",
                       "read the changed journal lines");
}

int32_t ChangedChunks::Next(int64_t* chunk) {
  next_.Reset();
  next_.BindAll(1, {dataNo_, from_});
  const int32_t step = next_.Step();
  if (step <= 0) return step;
  *chunk = ChunkOf(next_.Int(0));
  next_.Reset();
  from_ = FirstLineOf(*chunk + 1);
  return 1;
}

int32_t FoldChanges(sqlite3* db, int32_t dataNo, int64_t maxChunks, DerivedTotals* totals,
                    int64_t* chunks) {
  *chunks = 0;
  ChangedChunks changed;
  int32_t status = changed.Open(db, dataNo);
  if (status != 0) return status;
  for (int64_t chunk = 0; *chunks < maxChunks;) {
    const int32_t step = changed.Next(&chunk);
    if (step <= 0) return step;
    status = FoldChunk(db, dataNo, chunk, totals);
    if (status != 0) return status;
    ++*chunks;
  }
  return 0;
}

}  // namespace mvhost
