#ifndef TAXLINK_TRACE_TRACERECORDS_H_
#define TAXLINK_TRACE_TRACERECORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace taxlink {

// The spools hold contributions as the trace's own text (docs/trace.md), so
// that writing the trace copies them unchanged.

// What a figure took of a side of a line; its number is the trace's code.
enum class TakenAmount : uint8_t { kExcludingTax = 0, kTax = 1, kIncludingTax = 2 };

// A row of the line table (one side of a journal line).
struct LineRow {
  int32_t journal, line, date, monthKind, accountId, rate, department;
  uint8_t debit, taxClass, businessType, unused;
  int64_t amount, tax;
};

// The longest text of a row and of a line contribution: 20 characters an
// integer at most, the commas and the brackets.
constexpr std::size_t kLineRowText = 12 * 20 + 13;
constexpr std::size_t kLineEntryText = 3 * 20 + 4;

// What a side booked of the amount taken (excluding tax, tax, or their sum
// including tax); false when the sum would not fit in 64 bits.
// Inline: asked for every line entry.
inline bool BookedAmount(int64_t amount, int64_t tax, TakenAmount taken, int64_t* booked) {
  switch (taken) {
    case TakenAmount::kExcludingTax:
      *booked = amount;
      return true;
    case TakenAmount::kTax:
      *booked = tax;
      return true;
    case TakenAmount::kIncludingTax:
      return !__builtin_add_overflow(amount, tax, booked);
  }
  return false;
}

// Writes a row of the line table or a line contribution at out, which has
// room for the longest, each a JSON array of integers in the columns
// docs/trace.md names; returns the end of the text. A contribution whose
// amount is what its row booked of the amount taken (asBooked) leaves the
// amount out.
char* PutLineRow(char* out, const LineRow& row);
char* PutLineEntry(char* out, uint64_t index, TakenAmount taken, int64_t amount, bool asBooked);

// The start of a row's line contributions ("[row,"), made once for the
// several entries of one side; size 0 for a row beyond the short form, whose
// entries are then written whole.
struct LineEntryStart {
  char text[16];
  std::size_t size;
  uint64_t index;
};
void StartLineEntries(uint64_t index, LineEntryStart* start);
// A line contribution of the row start names, the same text as PutLineEntry.
char* PutLineEntry(char* out, const LineEntryStart& start, TakenAmount taken, int64_t amount,
                   bool asBooked);

// A line contribution's text read back: its row, and its amount when the
// text gives one (not as booked).
struct LineEntryValues {
  uint64_t index = 0;
  int taken = 0;
  bool hasAmount = false;
  int64_t amount = 0;
};
// False when text is not a line contribution as PutLineEntry writes it.
bool ParseLineEntry(std::string_view text, LineEntryValues* entry);

// The same appended to a string.
void AppendLineRow(std::string& out, const LineRow& row);
void AppendLineEntry(std::string& out, uint64_t index, TakenAmount taken, int64_t amount,
                     bool asBooked = false);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACERECORDS_H_
