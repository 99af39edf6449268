#include "platform/text/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace platform {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
 public:
  // byCharacter: the input is UTF-8 and each character converts on its own
  // (code page 932 has no shift states), so a character's bytes are
  // remembered after its first trip through iconv.
  Converter(const char* to, const char* from, bool byCharacter = false)
      : cd_(iconv_open(to, from)), byCharacter_(byCharacter) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
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
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    // ASCII is the same bytes in code page 932 and UTF-8 (0x5C a backslash,
    // 0x7E a tilde in both): most texts of the store (codes, numbers, paths)
    // need no trip through iconv.
    if (IsAscii(input)) {
      out->assign(input);
      return true;
    }
    // A text whose characters are all known converts without iconv; any
    // other (a character without a code page 932 form, malformed UTF-8)
    // takes the whole way below, which decides its result as before.
    if (byCharacter_ && ConvertByCharacter(input, out)) return true;
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
  static constexpr std::uint16_t kNoForm = 0xFFFF;

  // Well-formed UTF-8 of one or two code page 932 bytes per character;
  // false (out untouched) at anything else.
  bool ConvertByCharacter(std::string_view input, std::string* out) {
    std::string result;
    result.reserve(input.size());
    std::size_t i = 0;
    while (i < input.size()) {
      const auto lead = static_cast<unsigned char>(input[i]);
      if (lead < 0x80) {
        result.push_back(static_cast<char>(lead));
        ++i;
        continue;
      }
      std::size_t length = 0;
      char32_t code = 0;
      if (!DecodeUtf8(input.substr(i), &length, &code)) return false;
      std::uint16_t bytes = Lookup(input.substr(i, length), code);
      if (bytes == kNoForm) return false;
      if (bytes > 0xFF) result.push_back(static_cast<char>(bytes >> 8));
      result.push_back(static_cast<char>(bytes & 0xFF));
      i += length;
    }
    *out = std::move(result);
    return true;
  }

  // Two- and three-byte sequences only (no surrogates, no overlong forms):
  // code page 932 has nothing beyond the basic plane.
  static bool DecodeUtf8(std::string_view rest, std::size_t* length, char32_t* code) {
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

  // The code page 932 bytes of one character (high byte first, or one
  // byte), kNoForm where iconv gives no one- or two-byte form.
  std::uint16_t Lookup(std::string_view utf8, char32_t code) {
    const auto known = memo_.find(code);
    if (known != memo_.end()) return known->second;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    unsigned char converted[4];
    char* outPtr = reinterpret_cast<char*>(converted);
    std::size_t outLeft = sizeof(converted);
    const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
    const std::size_t written = sizeof(converted) - outLeft;
    std::uint16_t bytes = kNoForm;
    if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && written == 1) {
      bytes = converted[0];
    } else if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && written == 2 &&
               converted[0] != 0xFF) {
      bytes = static_cast<std::uint16_t>(converted[0] << 8 | converted[1]);
    }
    memo_.emplace(code, bytes);
    return bytes;
  }

  iconv_t cd_;
  bool byCharacter_;
  std::unordered_map<char32_t, std::uint16_t> memo_;
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
  thread_local Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& ToCp932() {
  thread_local Converter converter("CP932", "UTF-8", /*byCharacter=*/true);
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
