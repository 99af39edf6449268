#ifndef TAXLINK_MVHOST_JSONFORMAT_H_
#define TAXLINK_MVHOST_JSONFORMAT_H_

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
bool ModelFromJson(const std::string& text, const std::string& fileName,
                   const std::string& baseDir, DataSetModel* model, std::string* error);

// The canonical text of a model: two-space indentation, fields in a fixed
// order, a final newline. False (with `error`) when a text is not UTF-8.
bool JsonFromModel(const DataSetModel& model, std::string* text, std::string* error);

// The format tag written and expected in "format".
inline constexpr const char kDataFormatTag[] = "mvhost-data-1";

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JSONFORMAT_H_
