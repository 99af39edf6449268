#include "terminal/CellText.h"

#include <iconv.h>

#include <climits>
#include <cwchar>

#include "platform/text/Encoding.h"
#include "resources/Texts.h"

namespace terminal {
namespace {

// One direction of a conversion between UTF-8 and wchar_t, opened once.
class WideConverter {
 public:
  WideConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~WideConverter() {
    if (Usable()) iconv_close(cd_);
  }
  WideConverter(const WideConverter&) = delete;
  WideConverter& operator=(const WideConverter&) = delete;

  // The whole input converted; false at the first sequence that has no form.
  bool Convert(const char* input, std::size_t length, char* output, std::size_t capacity,
               std::size_t* written) {
    if (!Usable()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    char* out = output;
    std::size_t outLeft = capacity;
    std::size_t rc = iconv(cd_, &in, &length, &out, &outLeft);
    *written = capacity - outLeft;
    return rc != static_cast<std::size_t>(-1);
  }

 private:
  bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

}  // namespace

std::wstring ToWide(std::string_view cp932) {
  // The lenient conversion gives valid UTF-8 ("?" for bad bytes), which
  // always has a wide form.
  static WideConverter converter("WCHAR_T", "UTF-8");
  std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::wstring wide(utf8.size(), L'\0');
  std::size_t written = 0;
  converter.Convert(utf8.data(), utf8.size(), reinterpret_cast<char*>(wide.data()),
                    wide.size() * sizeof(wchar_t), &written);
  wide.resize(written / sizeof(wchar_t));
  return wide;
}

bool ToCp932(wchar_t typed, std::string* out) {
  static WideConverter converter("UTF-8", "WCHAR_T");
  char utf8[8];
  std::size_t written = 0;
  if (!converter.Convert(reinterpret_cast<const char*>(&typed), sizeof typed, utf8, sizeof utf8,
                         &written)) {
    return false;
  }
  return platform::TryUtf8ToCp932(std::string_view(utf8, written), out);
}

namespace {

// The bytes of the character in the locale's encoding; 0 when it has none
// or cannot show it.
std::size_t LocaleBytes(wchar_t c) {
  char bytes[MB_LEN_MAX];
  std::mbstate_t state{};
  std::size_t length = std::wcrtomb(bytes, c, &state);
  return length == static_cast<std::size_t>(-1) || ::wcwidth(c) < 0 ? 0 : length;
}

}  // namespace

wchar_t ShowableForm(wchar_t c) {
  if (c < 0x80) return c;
  static constexpr wchar_t kPairs[][2] = {{0xFF5E, 0x301C}, {0xFF0D, 0x2212}, {0x2225, 0x2016},
                                          {0xFFE0, 0x00A2}, {0xFFE1, 0x00A3}, {0xFFE2, 0x00AC}};
  std::size_t own = LocaleBytes(c);
  for (const auto& pair : kPairs) {
    wchar_t other = c == pair[0] ? pair[1] : c == pair[1] ? pair[0] : 0;
    if (other == 0) continue;
    // The shorter form is the common one: EUC-JP has ～ only in the JIS X
    // 0212 plane (three bytes), which terminals rarely show, but 〜 in two.
    std::size_t alternative = LocaleBytes(other);
    if (alternative != 0 && (own == 0 || alternative < own)) return other;
  }
  return own != 0 ? c : L'?';
}

int CellWidth(wchar_t c) {
  int width = ::wcwidth(ShowableForm(c));
  return width < 0 ? 1 : width;
}

int TextWidth(std::wstring_view text) {
  int width = 0;
  for (wchar_t c : text) width += CellWidth(c);
  return width;
}

std::wstring FitCells(std::wstring_view text, int cells) {
  std::wstring fitted;
  int used = 0;
  for (wchar_t c : text) {
    int width = CellWidth(c);
    if (used + width > cells) break;
    used += width;
    fitted.push_back(c);
  }
  return fitted;
}

namespace {

// Characters a Japanese line does not start with: closing brackets and
// punctuation, small kana and the prolonged sound mark.
bool NeverStartsALine(wchar_t c) {
  static constexpr std::wstring_view kClosing = taxlink::texts::kTerminalNoLineStart;
  return kClosing.find(c) != std::wstring_view::npos;
}

}  // namespace

std::vector<std::wstring> WrapCells(std::wstring_view text, int cells) {
  std::vector<std::wstring> lines(1);
  int used = 0;
  for (wchar_t c : text) {
    if (c == L'\n') {
      lines.emplace_back();
      used = 0;
      continue;
    }
    int width = CellWidth(c);
    if (used + width > cells && used > 0) {
      // A character that may not start a line takes the one before it along.
      std::wstring carried;
      std::wstring& full = lines.back();
      if (NeverStartsALine(c) && full.size() > 1) {
        carried.assign(1, full.back());
        full.pop_back();
      }
      lines.push_back(carried);
      used = TextWidth(carried);
    }
    lines.back().push_back(c);
    used += width;
  }
  return lines;
}

}  // namespace terminal
