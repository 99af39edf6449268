#ifndef TAXLINK_MVHOST_JSONFORMAT_H_
#define TAXLINK_MVHOST_JSONFORMAT_H_

#include <cstdint>
#include <ostream>
#include <string>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The JSON data format of docs/data-format.md.
//
// ModelFromJson reads `text` (the UTF-8 contents of the file `fileName`)
// into `model`, checking the type and range of every field; a
// "journals_csv" file is resolved against `baseDir` (the file's folder) and
// left for the import to read. Cross checks (unknown accounts, duplicates,
// dates against the period) are DataValidate's. On failure `error` reads
// "FILE: PATH: message", or "FILE:LINE:COLUMN: not valid JSON: ..." for a
// syntax error.
bool ModelFromJson(const std::string& text, const std::string& fileName, const std::string& baseDir,
                   DataSetModel* model, std::string* error);

// The canonical text of a model: two-space indentation, fields in a fixed
// order, a final newline. False (with `error`) when a text is not UTF-8.
bool JsonFromModel(const DataSetModel& model, std::string* text, std::string* error);

// Writes the canonical text of a data set (the text JsonFromModel makes) to
// a stream with the journal lines given one at a time, so that they need not
// be held in memory: Begin with the model without its lines, then Line for
// each line in order, then End.
class DataSetJsonWriter {
 public:
  explicit DataSetJsonWriter(std::ostream& out) : out_(out) {}
  // csvName: the CSV file that carries the lines instead ("journals_csv",
  // and an empty "journals"); empty: the lines come inline. False (with
  // `error`) when a text is not UTF-8.
  bool Begin(const DataSetModel& head, const std::string& csvName, std::string* error);
  bool Line(const JournalLine& line, std::string* error);
  bool End(std::string* error);

 private:
  std::ostream& out_;
  int32_t dataNo_ = 0;
  bool inline_ = true;
  std::string rest_;  // the text after the lines
  int64_t lines_ = 0;
};

// The format tag written and expected in "format".
inline constexpr const char kDataFormatTag[] = "mvhost-data-1";

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JSONFORMAT_H_
