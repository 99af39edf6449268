#include "platform/text/FullWidth.h"

#include <cstddef>
#include <cstring>

#include "platform/text/Mbcs.h"
#include "resources/Texts.h"

namespace platform {
namespace {

// The literals below are Shift_JIS after compilation: two bytes per
// character. The ASCII row maps 0x21..0x7E in order; the double quote and
// the apostrophe become U+FF02 and U+FF07 (0xFA57 and 0xFA56 in code page
// 932), the backslash becomes the full-width reverse solidus (0x815F), not
// the yen sign, and the tilde the full-width tilde (0x8160).
constexpr const auto& kAscii = taxlink::texts::kFullWidthAscii;
constexpr const auto& kSpace = taxlink::texts::kFullWidthSpace;
// Half-width katakana 0xA1..0xDF in order.
constexpr const auto& kKana = taxlink::texts::kFullWidthKana;
// Voiced forms of ｶ..ﾄ, of ﾊ..ﾎ, and the semi-voiced forms of ﾊ..ﾎ.
constexpr const auto& kVoicedKaToTo = taxlink::texts::kVoicedKaToTo;
constexpr const auto& kVoicedHaToHo = taxlink::texts::kVoicedHaToHo;
constexpr const auto& kSemiVoicedHaToHo = taxlink::texts::kSemiVoicedHaToHo;
constexpr const auto& kVoicedU = taxlink::texts::kVoicedU;

static_assert(sizeof(kAscii) == 94 * 2 + 1, "one double-byte character per ASCII symbol");
static_assert(sizeof(kKana) == 63 * 2 + 1, "one double-byte character per half-width kana");
static_assert(sizeof(kVoicedKaToTo) == 15 * 2 + 1, "15 voiced kana");

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

void AppendPair(std::string* out, const char* table, std::size_t index) {
  out->append(table + index * 2, 2);
}

// The merged voiced or semi-voiced form of kana followed by mark, or null.
const char* Merged(unsigned char kana, unsigned char mark) {
  if (mark == kVoicedMark) {
    if (kana == 0xB3) return kVoicedU;
    if (kana >= 0xB6 && kana <= 0xC4) return kVoicedKaToTo + std::ptrdiff_t{kana - 0xB6} * 2;
    if (kana >= 0xCA && kana <= 0xCE) return kVoicedHaToHo + std::ptrdiff_t{kana - 0xCA} * 2;
  } else if (mark == kSemiVoicedMark) {
    if (kana >= 0xCA && kana <= 0xCE) return kSemiVoicedHaToHo + std::ptrdiff_t{kana - 0xCA} * 2;
  }
  return nullptr;
}

}  // namespace

std::string MapToFullWidth(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 2);
  for (std::size_t i = 0; i < cp932.size();) {
    unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (IsLeadByte(c) && i + 1 < cp932.size() &&
        IsTrailByte(static_cast<unsigned char>(cp932[i + 1]))) {
      out.append(cp932.substr(i, 2));
      i += 2;
    } else if (c == 0x20) {
      out.append(kSpace, 2);
      ++i;
    } else if (c >= 0x21 && c <= 0x7E) {
      AppendPair(&out, kAscii, c - 0x21);
      ++i;
    } else if (c >= 0xA1 && c <= 0xDF) {
      const char* merged = nullptr;
      if (i + 1 < cp932.size()) merged = Merged(c, static_cast<unsigned char>(cp932[i + 1]));
      if (merged != nullptr) {
        out.append(merged, 2);
        i += 2;
      } else {
        AppendPair(&out, kKana, c - 0xA1);
        ++i;
      }
    } else {
      out.push_back(static_cast<char>(c));
      ++i;
    }
  }
  return out;
}

}  // namespace platform
