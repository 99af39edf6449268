#include "platform/text/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

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
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
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
  iconv_t cd_;
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
  thread_local Converter converter("CP932", "UTF-8");
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
