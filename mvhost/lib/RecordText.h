#ifndef TAXLINK_MVHOST_RECORDTEXT_H_
#define TAXLINK_MVHOST_RECORDTEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace mvhost {

// Copies UTF-8 store text into a record's fixed text field as Shift_JIS:
// at most size - 1 bytes, never half of a double-byte character, then a
// terminator. False (the field left empty) when the text holds a character
// that Shift_JIS lacks, as a store edited outside the import may.
bool CopyRecordText(char* field, size_t size, const std::string& utf8);

// The same in two steps, for a text handed out many times: converted once,
// then copied into each field as CopyRecordText would copy the stored text.
struct ConvertedText {
  std::string cp932;
  bool converts = false;  // false: Shift_JIS lacks a character of it
};
ConvertedText ConvertRecordText(const std::string& utf8);
bool CopyConvertedText(char* field, size_t size, const ConvertedText& text);

// The host error for such a text: the record ("data set 3: account 12
// name") goes to the error log and into the host's message for the code.
int32_t StoreTextError(const std::string& record);

// The record of the last StoreTextError (empty before any).
std::string LastStoreTextRecord();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_RECORDTEXT_H_
