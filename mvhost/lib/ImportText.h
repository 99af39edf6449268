#ifndef TAXLINK_MVHOST_IMPORTTEXT_H_
#define TAXLINK_MVHOST_IMPORTTEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace mvhost {

// The encoding of the files an import reads: UTF-8, or Shift_JIS (code page
// 932) as spreadsheet programs in Japan write CSV and text files.
enum class TextEncoding { kUtf8, kCp932 };

// "utf-8" (or "utf8"), or "cp932" and its other names "shift_jis", "sjis"
// and "windows-31j", in any case; false for any other name.
bool ParseTextEncoding(std::string_view name, TextEncoding* encoding);

// The encoding of one file, and whether it was given for that file (an
// encoding taken over from the other file's option is not).
struct FileEncoding {
  TextEncoding encoding = TextEncoding::kUtf8;
  bool given = false;
};

// A UTF-8 byte-order mark at the start of the text: the file is UTF-8,
// whatever encoding it was to be read in.
bool StartsWithUtf8Bom(std::string_view text);

// The byte offset of the first byte that does not belong to well-formed
// UTF-8 (no overlong forms, surrogates or code points past U+10FFFF), or
// npos when the whole text is UTF-8.
size_t FindInvalidUtf8(std::string_view text);

// The text in UTF-8: checked when it is UTF-8, converted when it is
// Shift_JIS. False when it is not what `encoding` says; `offset` is then the
// first offending byte.
bool DecodeText(std::string_view text, TextEncoding encoding, std::string* utf8, size_t* offset);

// The refusal of text that DecodeText refused, with the option that sets
// the file's encoding: "not UTF-8 text (for a Shift_JIS file use OPTION
// cp932)" or "not Shift_JIS text (for a UTF-8 file use OPTION utf-8)".
std::string DecodeProblem(TextEncoding encoding, const char* option);

// The first run of non-ASCII characters of a text that is UTF-8 throughout
// and holds at least one such character: such a text read as Shift_JIS is
// most likely UTF-8 read in the wrong encoding. False when the text is not
// UTF-8 or is ASCII only.
bool FindUtf8Run(std::string_view text, size_t* offset, size_t* length);

// The refusal of such a file read as Shift_JIS without being told: the run
// in both readings and the option that settles it.
std::string AmbiguityProblem(std::string_view run, const char* option);

// "LINE:COLUMN" (both from 1; the column counts bytes) of a byte offset.
std::string LineColumnOf(std::string_view text, size_t offset);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_IMPORTTEXT_H_
