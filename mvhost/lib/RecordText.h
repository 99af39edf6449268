#ifndef TAXLINK_MVHOST_RECORDTEXT_H_
#define TAXLINK_MVHOST_RECORDTEXT_H_

#include <cstddef>
#include <string>

namespace mvhost {

// Copies UTF-8 store text into a record's fixed text field as Shift_JIS:
// at most size - 1 bytes, never half of a double-byte character, then a
// terminator.
void CopyRecordText(char* field, size_t size, const std::string& utf8);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_RECORDTEXT_H_
