#ifndef TAXLINK_TRACE_TRACERECORDS_H_
#define TAXLINK_TRACE_TRACERECORDS_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace taxlink {

// The spools hold contributions in binary until the trace is written: a
// million-line run spools a few bytes per contribution instead of its JSON
// text, and the text is made once, straight into the trace's buffer.

// What a figure took of a side of a line.
enum class TakenAmount : uint8_t { kExcludingTax, kTax, kIncludingTax };

// A row of the line table (one side of a journal line), as spooled.
struct LineRow {
  int32_t journal, line, date, monthKind, accountId, rate, department;
  uint8_t debit, taxClass, businessType, unused;
  int64_t amount, tax;
};

// A figure's spool is a sequence of entries, each a tag and its body.
enum class EntryTag : uint8_t {
  kLine = 1,  // LineEntry
  kJson = 2,  // uint32_t length, then the contribution's JSON text
};
#pragma pack(push, 1)
struct LineEntry {
  uint8_t taken;   // TakenAmount
  uint64_t index;  // the row of the line table
  int64_t amount;
};
#pragma pack(pop)
static_assert(sizeof(LineEntry) == 17);

// Appends the JSON of a line table row and of a line contribution.
void AppendLineRow(std::string& out, const LineRow& row);
void AppendLineEntry(std::string& out, const LineEntry& entry);
const char* TakenName(TakenAmount taken);

// Reads the entries of a spool file from its start and appends their JSON
// to out, separated by commas, calling flush(out) whenever out has grown past
// flushAt; false when the file cannot be read or holds no valid entry.
template <class Flush>
bool AppendSpoolEntries(std::FILE* file, std::string& out, std::size_t flushAt, Flush flush);

template <class Flush>
bool AppendSpoolEntries(std::FILE* file, std::string& out, std::size_t flushAt, Flush flush) {
  bool first = true;
  std::string json;
  for (;;) {
    uint8_t tag = 0;
    if (fread_unlocked(&tag, 1, 1, file) != 1) return std::ferror(file) == 0;
    if (!first) out += ',';
    first = false;
    if (tag == static_cast<uint8_t>(EntryTag::kLine)) {
      LineEntry entry;
      if (fread_unlocked(&entry, sizeof(entry), 1, file) != 1) return false;
      AppendLineEntry(out, entry);
    } else if (tag == static_cast<uint8_t>(EntryTag::kJson)) {
      uint32_t size = 0;
      if (fread_unlocked(&size, sizeof(size), 1, file) != 1) return false;
      json.resize(size);
      if (size > 0 && fread_unlocked(json.data(), 1, size, file) != size) return false;
      out += json;
    } else {
      return false;
    }
    if (out.size() >= flushAt) flush(out);
  }
}

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACERECORDS_H_
