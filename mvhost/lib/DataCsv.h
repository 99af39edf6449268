#ifndef TAXLINK_MVHOST_DATACSV_H_
#define TAXLINK_MVHOST_DATACSV_H_

#include <array>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/ImportText.h"

namespace mvhost {

// Reads journal lines one at a time from a CSV file whose first line names
// the columns (docs/data-format.md), so that a file of any size needs the
// memory of one line. Refusals read "FILE:LINE: COLUMN: message".
class JournalCsvReader {
 public:
  // Opens the file and reads its header line. A file that starts with a
  // UTF-8 byte-order mark is read as UTF-8; one that is to be read as
  // Shift_JIS without that being given for it (`encoding.given`) is refused
  // when it is UTF-8 throughout with non-ASCII text.
  bool Open(const std::string& path, FileEncoding encoding, std::string* error);

  // The next journal line (blank lines are skipped). False at the end of
  // the file with `error` empty, or on a refusal with `error` set. The
  // line's fields are overwritten, so one JournalLine can be reused.
  bool Next(JournalLine* line, std::string* error);

  // The file's line the last line came from (from 1).
  int lineNo() const { return lineNo_; }
  uint64_t bytesRead() const { return bytesRead_; }
  uint64_t fileSize() const { return fileSize_; }

  // The columns of the format, in the order of the header an export would
  // write.
  static constexpr int kColumnCount = 16;

 private:
  // Reads and decodes the next physical line into record_; false at the end.
  bool ReadRecord(std::string* error);
  // Reads the file through once for the refusal of UTF-8 text read as
  // Shift_JIS, and goes back to its start.
  bool RefuseUtf8Text(std::string* error);
  bool Fail(const std::string& message, std::string* error) const;
  const std::string& Cell(int column) const;
  bool Int(int column, int64_t min, int64_t max, bool required, int32_t fallback, int32_t* out,
           std::string* error) const;
  bool Amount(int column, int64_t* out, std::string* error) const;
  bool Side(int firstColumn, JournalSide* side, std::string* error) const;

  std::ifstream in_;
  std::string path_;
  TextEncoding encoding_ = TextEncoding::kUtf8;
  bool bom_ = false;
  int lineNo_ = 0;
  uint64_t bytesRead_ = 0;
  uint64_t fileSize_ = 0;
  size_t headerFields_ = 0;
  std::array<int, kColumnCount> fieldOf_{};  // field index of each column, -1 absent
  std::string raw_;
  std::string record_;
  std::vector<std::string> fields_;
};

// Writes journal lines as a CSV file the reader above reads back: the
// header with every column, then one row per line (UTF-8 texts as the
// store keeps them).
class JournalCsvWriter {
 public:
  explicit JournalCsvWriter(std::ostream& out) : out_(out) {}
  void Header();
  // False (with `error`) for a text the file cannot carry: a line break, or
  // text that is not UTF-8.
  bool Row(const JournalLine& line, std::string* error);

 private:
  bool Field(const std::string& text, const JournalLine& line, const char* column,
             std::string* error);

  std::ostream& out_;
  std::string row_;
};

// Splits one CSV record (no line break inside); false on a broken quote.
bool SplitCsvRecord(const std::string& record, std::vector<std::string>* fields);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATACSV_H_
