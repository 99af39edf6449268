#ifndef TAXLINK_TESTS_SUPPORT_SJISLITERAL_H_
#define TAXLINK_TESTS_SUPPORT_SJISLITERAL_H_

// "...\"_sjis: a UTF-8 literal of a test as the CP932 bytes the program holds,
// converted at compile time through the build's CP932 mapping (the same
// converter as resources/texts.tsv), so tests can spell expected texts
// in plain UTF-8. A character CP932 does not have fails the compile.
#include <cstddef>
#include <cstdint>

#include "resources/Cp932Map.h"

namespace taxlink::test {

template <std::size_t N>
struct Utf8Literal {
  consteval Utf8Literal(const char (&text)[N]) {  // NOLINT(google-explicit-constructor)
    for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
  }
  char bytes[N]{};
};

// The CP932 form is never longer than the UTF-8 one.
template <std::size_t N>
struct Cp932Literal {
  char bytes[N]{};
};

constexpr unsigned Cp932Of(std::uint32_t codePoint) {
  if (codePoint < 0x80) return codePoint;
  std::size_t low = 0;
  std::size_t high = sizeof(texts::kCp932Map) / sizeof(texts::kCp932Map[0]);
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (texts::kCp932Map[mid].codePoint < codePoint) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  if (low == sizeof(texts::kCp932Map) / sizeof(texts::kCp932Map[0]) ||
      texts::kCp932Map[low].codePoint != codePoint) {
    throw "a character of this literal has no CP932 form";
  }
  return texts::kCp932Map[low].bytes;
}

template <std::size_t N>
constexpr Cp932Literal<N> ToCp932(const Utf8Literal<N>& in) {
  Cp932Literal<N> out;
  std::size_t o = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    const auto lead = static_cast<unsigned char>(in.bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead >= 0x80 && lead < 0xC0) throw "this literal is not UTF-8";
    if (i + length >= N) throw "this literal ends inside a UTF-8 sequence";
    std::uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(in.bytes[i + k]) & 0x3F);
    }
    i += length;
    const unsigned bytes = Cp932Of(codePoint);
    if (bytes > 0xFF) out.bytes[o++] = static_cast<char>(bytes >> 8);
    out.bytes[o++] = static_cast<char>(bytes & 0xFF);
  }
  return out;
}

template <Utf8Literal text>
inline constexpr Cp932Literal kCp932 = ToCp932(text);

}  // namespace taxlink::test

template <taxlink::test::Utf8Literal text>
constexpr const char* operator""_sjis() {
  return taxlink::test::kCp932<text>.bytes;
}

#endif  // TAXLINK_TESTS_SUPPORT_SJISLITERAL_H_
