#ifndef TAXLINK_MVHOST_IMPORTTEXT_H_
#define TAXLINK_MVHOST_IMPORTTEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace mvhost {

// The encoding of the files an import reads: UTF-8, or Shift_JIS (code page
// 932) as spreadsheet programs in Japan write CSV and text files.
enum class TextEncoding { kUtf8, kCp932 };

// "utf-8" or "cp932"; false for any other name.
bool ParseTextEncoding(std::string_view name, TextEncoding* encoding);

// The byte offset of the first byte that does not belong to well-formed
// UTF-8 (no overlong forms, surrogates or code points past U+10FFFF), or
// npos when the whole text is UTF-8.
size_t FindInvalidUtf8(std::string_view text);

// The text in UTF-8: checked when it is UTF-8, converted when it is
// Shift_JIS. False when it is not what `encoding` says; `offset` is then the
// first offending byte (npos when the converter cannot tell).
bool DecodeText(std::string_view text, TextEncoding encoding, std::string* utf8, size_t* offset);

// The refusal of text that DecodeText refused: "not UTF-8 text WHERE (for a
// Shift_JIS file use --encoding cp932)" or "not Shift_JIS text WHERE".
std::string DecodeProblem(TextEncoding encoding, const std::string& where);

// "LINE:COLUMN" (both from 1; the column counts bytes) of a byte offset.
std::string LineColumnOf(std::string_view text, size_t offset);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_IMPORTTEXT_H_
