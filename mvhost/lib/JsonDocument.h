#ifndef TAXLINK_MVHOST_JSONDOCUMENT_H_
#define TAXLINK_MVHOST_JSONDOCUMENT_H_

#include <nlohmann/json.hpp>

#include <string>

namespace mvhost {

// Parses text (the UTF-8 contents of the file fileName) as one JSON
// document. Besides the syntax it refuses a key that appears twice in one
// object, at any depth: the parser would keep the last value and drop the
// first without a word, so that a second "journals": [] would empty the
// data set. False with error "FILE:LINE:COLUMN: not valid JSON: REASON" or
// "FILE:LINE:COLUMN: duplicate key "KEY" (first at LINE:COLUMN)"; columns
// count bytes from 1.
bool ParseJsonDocument(const std::string& text, const std::string& fileName,
                       nlohmann::ordered_json* document, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JSONDOCUMENT_H_
