#ifndef TAXLINK_SHEET_FILEFACTS_H_
#define TAXLINK_SHEET_FILEFACTS_H_

#include <string>
#include <string_view>

namespace taxlink::sheet {

// What the sheet says of the report file itself, so that a printed sheet
// can be matched to the file it was made from.
struct FileFacts {
  std::string name;      // the file name without its folder
  std::string sha256;    // of the file's bytes, 64 lower-case hex digits
  std::string modified;  // its modification time, local: "2015/05/20 14:03:07 +0900"
};

// The facts of the file at path whose bytes are given (and their SHA-256,
// when the caller has it; empty: computed here); the time is empty when the
// file's status cannot be read.
FileFacts FactsOf(const std::string& path, std::string_view bytes,
                  std::string_view sha256 = std::string_view());

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_FILEFACTS_H_
