#include "platform/text/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "resources/Cp932Decode.h"
#include "resources/Cp932Map.h"

namespace platform {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The code page 932 bytes of a code point above ASCII (high byte first, or
// one byte) as iconv encodes it, 0 when it has none.
std::uint16_t EncodedForm(char32_t code) {
  const auto* begin = std::begin(taxlink::texts::kCp932Map);
  const auto* end = std::end(taxlink::texts::kCp932Map);
  const auto* found = std::lower_bound(
      begin, end, code,
      [](const taxlink::texts::Cp932Mapping& m, char32_t c) { return m.codePoint < c; });
  return found != end && found->codePoint == code ? found->bytes : 0;
}

// The code point of the code page 932 character at the start of rest and its
// length in bytes, as iconv decodes it; false where the tables know no
// character there.
bool DecodeCp932(std::string_view rest, std::size_t* length, char32_t* code) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  if (lead < 0x80) {
    *length = 1;
    *code = lead;
    return true;
  }
  if (const std::uint16_t single = taxlink::texts::kCp932Single[lead - 0x80]; single != 0) {
    *length = 1;
    *code = single;
    return true;
  }
  if (rest.size() < 2) return false;
  const auto trail = static_cast<unsigned char>(rest[1]);
  const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (!isLead || trail < 0x40 || trail > 0xFC) return false;
  const unsigned row = lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u;
  const std::uint16_t pair = taxlink::texts::kCp932Double[row][trail - 0x40];
  if (pair == 0) return false;
  *length = 2;
  *code = pair;
  return true;
}

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Two- and three-byte sequences only (no surrogates, no overlong forms):
// code page 932 has nothing beyond the basic plane.
bool DecodeUtf8(std::string_view rest, std::size_t* length, char32_t* code) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(rest[k]); };
  const auto continuation = [&](std::size_t k) { return k < rest.size() && (at(k) & 0xC0) == 0x80; };
  if (at(0) >= 0xC2 && at(0) <= 0xDF && continuation(1)) {
    *length = 2;
    *code = (char32_t{at(0)} & 0x1F) << 6 | (char32_t{at(1)} & 0x3F);
    return true;
  }
  if (at(0) >= 0xE0 && at(0) <= 0xEF && continuation(1) && continuation(2)) {
    *code = (char32_t{at(0)} & 0x0F) << 12 | (char32_t{at(1)} & 0x3F) << 6 |
            (char32_t{at(2)} & 0x3F);
    *length = 3;
    return *code >= 0x800 && (*code < 0xD800 || *code > 0xDFFF);
  }
  return false;
}

// A text of known characters converted through the tables generated from
// iconv (resources/Cp932Map.h, resources/Cp932Decode.h); false (out
// untouched) at the first character they do not know.
bool TableToUtf8(std::string_view input, std::string* out) {
  std::string result;
  result.reserve(input.size() * 3 / 2 + 4);
  for (std::size_t i = 0; i < input.size();) {
    std::size_t length = 0;
    char32_t code = 0;
    if (!DecodeCp932(input.substr(i), &length, &code)) return false;
    AppendUtf8(code, &result);
    i += length;
  }
  *out = std::move(result);
  return true;
}

bool TableToCp932(std::string_view input, std::string* out) {
  std::string result;
  result.reserve(input.size());
  for (std::size_t i = 0; i < input.size();) {
    const auto lead = static_cast<unsigned char>(input[i]);
    if (lead < 0x80) {
      result.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (!DecodeUtf8(input.substr(i), &length, &code)) return false;
    const std::uint16_t bytes = EncodedForm(code);
    if (bytes == 0) return false;
    if (bytes > 0xFF) result.push_back(static_cast<char>(bytes >> 8));
    result.push_back(static_cast<char>(bytes & 0xFF));
    i += length;
  }
  *out = std::move(result);
  return true;
}

// One direction's conversion. Texts of known characters go through the
// tables, so a run with only such texts never opens iconv (its descriptor
// tables are 32 KB of fresh heap each, and its module is loaded on first
// use); any other text (a character without a code page 932 form, malformed
// input) takes iconv's whole way, which decides its result as before. The
// descriptor is opened on that first need, one per direction and thread.
class Converter {
 public:
  using Table = bool (*)(std::string_view input, std::string* out);
  Converter(const char* to, const char* from, Table table) : to_(to), from_(from), table_(table) {}
  ~Converter() {
    if (opened_ && cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts input; an invalid or unconvertible sequence either fails the
  // whole conversion (strict, with its offset in failedAt when given) or
  // becomes "?" (lenient), skipping skipLength(rest) bytes of input.
  bool Convert(std::string_view input, bool strict,
               std::size_t (*skipLength)(std::string_view rest), std::string* out,
               std::size_t* failedAt = nullptr) {
    if (failedAt != nullptr) *failedAt = 0;
    // ASCII is the same bytes in code page 932 and UTF-8 (0x5C a backslash,
    // 0x7E a tilde in both): most texts of the store (codes, numbers, paths)
    // need no table either.
    if (IsAscii(input)) {
      out->assign(input);
      return true;
    }
    if (table_(input, out)) return true;
    if (!opened_) {
      cd_ = iconv_open(to_, from_);
      opened_ = true;
    }
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string result;
    result.reserve(input.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char chunk[512];
    while (inLeft > 0) {
      char* outPtr = chunk;
      std::size_t outLeft = sizeof(chunk);
      std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      int error = errno;
      result.append(chunk, static_cast<std::size_t>(outPtr - chunk));
      if (rc != static_cast<std::size_t>(-1)) break;
      if (error == E2BIG) continue;
      if (strict) {
        if (failedAt != nullptr) *failedAt = input.size() - inLeft;
        return false;
      }
      // EILSEQ or EINVAL (incomplete sequence at the end).
      result.push_back('?');
      std::size_t skip = skipLength(std::string_view(in, inLeft));
      if (skip > inLeft || error == EINVAL) skip = inLeft;
      in += skip;
      inLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    *out = std::move(result);
    return true;
  }

 private:
  const char* to_;
  const char* from_;
  Table table_;
  bool opened_ = false;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// A bad CP932 pair (lead byte with a trail byte that maps to nothing) is
// skipped whole, so that its trail byte does not reappear as ASCII.
std::size_t Cp932SkipLength(std::string_view rest) {
  if (rest.size() >= 2) {
    unsigned char lead = static_cast<unsigned char>(rest[0]);
    unsigned char trail = static_cast<unsigned char>(rest[1]);
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    bool isTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
    if (isLead && isTrail) return 2;
  }
  return 1;
}

// A UTF-8 character without a CP932 form is skipped whole; a stray byte
// alone.
std::size_t Utf8SkipLength(std::string_view rest) {
  unsigned char c = static_cast<unsigned char>(rest[0]);
  std::size_t length = 1;
  if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
  } else if (c >= 0xE0) {
    length = 3;
  } else if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else {
    return 1;
  }
  if (length > rest.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

Converter& ToUtf8() {
  thread_local Converter converter("UTF-8", "CP932", TableToUtf8);
  return converter;
}

Converter& ToCp932() {
  thread_local Converter converter("CP932", "UTF-8", TableToCp932);
  return converter;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  if (!ToUtf8().Convert(cp932, false, Cp932SkipLength, &out)) return std::string(cp932);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  if (!ToCp932().Convert(utf8, false, Utf8SkipLength, &out)) return std::string(utf8);
  return out;
}

bool TryCp932ToUtf8(std::string_view cp932, std::string* out) {
  std::string result;
  if (!ToUtf8().Convert(cp932, true, Cp932SkipLength, &result)) return false;
  *out = std::move(result);
  return true;
}

std::size_t FindInvalidCp932(std::string_view cp932) {
  std::string ignored;
  std::size_t failedAt = 0;
  if (ToUtf8().Convert(cp932, true, Cp932SkipLength, &ignored, &failedAt)) {
    return std::string_view::npos;
  }
  return failedAt;
}

bool TryUtf8ToCp932(std::string_view utf8, std::string* out) {
  std::string result;
  if (!ToCp932().Convert(utf8, true, Utf8SkipLength, &result)) return false;
  *out = std::move(result);
  return true;
}

}  // namespace platform
