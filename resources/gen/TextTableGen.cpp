// Build-time generator of the program's texts.
//
//   taxlink_textgen texts TABLE.tsv OUT.h    named CP932 (and wide) constants
//   taxlink_textgen cp932-map OUT.h          the Unicode -> CP932 mapping
//   taxlink_textgen cp932-decode OUT.h       the CP932 -> Unicode mapping
//
// TABLE.tsv holds one text a line, "name<TAB>form<TAB>text", in UTF-8; form is
// cp932 (a Shift_JIS byte string) or wide (a wchar_t string for the terminal);
// the text may use \n, \t and \\. Empty lines and lines starting with '#' are
// skipped. The conversion is glibc's CP932 iconv, the same converter the
// compiler used when the program's literals were CP932, so the bytes stay.
// Any fault in the table (a bad line, a name used twice, a character CP932
// does not have) stops the build with the line number.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> Convert(const std::string& in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

bool ValidName(const std::string& name) {
  if (name.size() < 2 || name[0] != 'k' || name[1] < 'A' || name[1] > 'Z') return false;
  for (const char c : name) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return true;
}

// Undoes the table's escapes; false on an unknown escape.
bool Unescape(const std::string& in, std::string* out) {
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      *out += in[i];
      continue;
    }
    if (++i == in.size()) return false;
    switch (in[i]) {
      case 'n':
        *out += '\n';
        break;
      case 't':
        *out += '\t';
        break;
      case '\\':
        *out += '\\';
        break;
      default:
        return false;
    }
  }
  return true;
}

// A C++ narrow literal of any bytes: printable ASCII as is, the rest as
// octal escapes (which, unlike \x, never swallow a following digit).
std::string NarrowLiteral(const std::string& bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += c;
    } else if (b >= 0x20 && b < 0x7F && b != '?') {
      out += c;
    } else {
      char esc[8];
      std::snprintf(esc, sizeof(esc), "\\%03o", b);
      out += esc;
    }
  }
  return out + "\"";
}

// A wide literal from UTF-32LE: ASCII as is, the rest as universal
// character names.
std::string WideLiteral(const std::string& utf32) {
  std::string out = "L\"";
  for (std::size_t i = 0; i + 4 <= utf32.size(); i += 4) {
    std::uint32_t cp = 0;
    for (int k = 3; k >= 0; --k) cp = (cp << 8) | static_cast<unsigned char>(utf32[i + k]);
    char esc[16];
    if (cp == '"' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp >= 0x20 && cp < 0x7F && cp != '?') {
      out += static_cast<char>(cp);
    } else if (cp < 0xA0) {
      std::snprintf(esc, sizeof(esc), "\\%03o", static_cast<unsigned>(cp));
      out += esc;
    } else {
      std::snprintf(esc, sizeof(esc), "\\U%08X", static_cast<unsigned>(cp));
      out += esc;
    }
  }
  return out + "\"";
}

bool WriteIfChanged(const std::string& path, const std::string& text) {
  {
    std::ifstream old(path, std::ios::binary);
    std::stringstream existing;
    existing << old.rdbuf();
    if (old && existing.str() == text) return true;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

int Fail(const std::string& message) {
  std::cerr << "taxlink_textgen: " << message << "\n";
  return 1;
}

int GenerateTexts(const std::string& tablePath, const std::string& outPath) {
  std::ifstream table(tablePath, std::ios::binary);
  if (!table) return Fail("cannot read " + tablePath);
  Converter toCp932("CP932", "UTF-8");
  Converter toUtf32("UTF-32LE", "UTF-8");
  if (!toCp932.ok() || !toUtf32.ok()) return Fail("iconv has no CP932 converter");

  std::string out =
      "// Generated by taxlink_textgen from resources/texts.tsv: edit the table, not this file.\n"
      "#pragma once\n\nnamespace taxlink::texts {\n\n";
  std::set<std::string> names;
  std::string line;
  int lineNo = 0;
  while (std::getline(table, line)) {
    ++lineNo;
    const std::string where = tablePath + ":" + std::to_string(lineNo) + ": ";
    if (line.empty() || line[0] == '#') continue;
    const auto tab1 = line.find('\t');
    const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) return Fail(where + "expected name<TAB>form<TAB>text");
    const std::string name = line.substr(0, tab1);
    const std::string form = line.substr(tab1 + 1, tab2 - tab1 - 1);
    std::string text;
    if (!ValidName(name)) return Fail(where + "bad name \"" + name + "\" (kUpperCamel)");
    if (!names.insert(name).second) return Fail(where + "\"" + name + "\" is named twice");
    if (!Unescape(line.substr(tab2 + 1), &text)) return Fail(where + "unknown escape");
    if (form == "cp932") {
      const auto bytes = toCp932.Convert(text);
      if (!bytes) return Fail(where + "\"" + name + "\" has a character CP932 does not have");
      out += "inline constexpr char " + name + "[] = " + NarrowLiteral(*bytes) + ";\n";
    } else if (form == "wide") {
      const auto utf32 = toUtf32.Convert(text);
      if (!utf32) return Fail(where + "\"" + name + "\" is not UTF-8");
      out += "inline constexpr wchar_t " + name + "[] = " + WideLiteral(*utf32) + ";\n";
    } else {
      return Fail(where + "unknown form \"" + form + "\" (cp932 or wide)");
    }
  }
  out += "\n}  // namespace taxlink::texts\n";
  if (!WriteIfChanged(outPath, out)) return Fail("cannot write " + outPath);
  return 0;
}

// Every code point CP932 can encode (above ASCII, which it keeps), with its
// bytes: the table a compile-time conversion of test literals looks up.
int GenerateMap(const std::string& outPath) {
  Converter toCp932("CP932", "UTF-32LE");
  if (!toCp932.ok()) return Fail("iconv has no CP932 converter");
  std::string out =
      "// Generated by taxlink_textgen: every code point above ASCII that CP932 encodes.\n"
      "#pragma once\n\n#include <cstdint>\n\nnamespace taxlink::texts {\n\n"
      "struct Cp932Mapping {\n  std::uint32_t codePoint;\n  std::uint16_t bytes;  // one byte "
      "below 0x100\n};\n\ninline constexpr Cp932Mapping kCp932Map[] = {\n";
  int count = 0;
  for (std::uint32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string in{static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF), '\0',
                         '\0'};
    const auto bytes = toCp932.Convert(in);
    if (!bytes || bytes->empty() || bytes->size() > 2) continue;
    unsigned value = static_cast<unsigned char>((*bytes)[0]);
    if (bytes->size() == 2) value = (value << 8) | static_cast<unsigned char>((*bytes)[1]);
    char row[48];
    std::snprintf(row, sizeof(row), "    {0x%04X, 0x%04X},\n", static_cast<unsigned>(cp), value);
    out += row;
    ++count;
  }
  out += "};\n\n}  // namespace taxlink::texts\n";
  if (count < 7000) {
    return Fail("the CP932 converter maps only " + std::to_string(count) + " code points");
  }
  if (!WriteIfChanged(outPath, out)) return Fail("cannot write " + outPath);
  return 0;
}

// Every code page 932 character as iconv decodes it: the one-byte characters
// above ASCII and the pairs of a lead byte (0x81-0x9F, 0xE0-0xFC) and a trail
// byte (0x40-0xFC), each a code point of the basic plane, 0 where iconv
// decodes nothing. The program converts texts of known characters with it and
// leaves everything else to iconv.
int GenerateDecode(const std::string& outPath) {
  Converter toUtf32("UTF-32LE", "CP932");
  if (!toUtf32.ok()) return Fail("iconv has no CP932 converter");
  // The one code point bytes decode to, or 0 when they are no one character.
  const auto decode = [&](const std::string& bytes) -> std::uint32_t {
    const auto utf32 = toUtf32.Convert(bytes);
    if (!utf32 || utf32->size() != 4) return 0;
    std::uint32_t cp = 0;
    for (std::size_t k = 4; k-- > 0;) cp = (cp << 8) | static_cast<unsigned char>((*utf32)[k]);
    return cp > 0 && cp <= 0xFFFF ? cp : 0;
  };
  std::string out =
      "// Generated by taxlink_textgen: every CP932 character above ASCII as iconv decodes it.\n"
      "#pragma once\n\n#include <cstdint>\n\nnamespace taxlink::texts {\n\n"
      "// Bytes 0x80-0xFF alone: the code point, 0 for a lead byte or no character.\n"
      "inline constexpr std::uint16_t kCp932Single[128] = {\n";
  std::uint32_t single[128] = {};
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    single[b - 0x80] = decode(std::string(1, static_cast<char>(b)));
    char cell[16];
    std::snprintf(cell, sizeof(cell), "0x%04X,%s", static_cast<unsigned>(single[b - 0x80]),
                  (b & 7) == 7 ? "\n" : " ");
    out += cell;
  }
  out +=
      "};\n\n// Lead bytes 0x81-0x9F then 0xE0-0xFC, trail bytes 0x40-0xFC: the code point, 0 for\n"
      "// no character.\ninline constexpr std::uint16_t kCp932Double[60][189] = {\n";
  int count = 0;
  for (unsigned row = 0; row < 60; ++row) {
    const unsigned lead = row < 31 ? 0x81 + row : 0xE0 + (row - 31);
    if (single[lead - 0x80] != 0) return Fail("a lead byte decodes alone");
    out += "    {";
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const std::uint32_t cp =
          decode(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      if (cp != 0) ++count;
      char cell[16];
      std::snprintf(cell, sizeof(cell), "0x%04X,", static_cast<unsigned>(cp));
      out += cell;
    }
    out += "},\n";
  }
  out += "};\n\n}  // namespace taxlink::texts\n";
  if (count < 7000) {
    return Fail("the CP932 converter decodes only " + std::to_string(count) + " pairs");
  }
  if (!WriteIfChanged(outPath, out)) return Fail("cannot write " + outPath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "texts") return GenerateTexts(args[1], args[2]);
  if (args.size() == 2 && args[0] == "cp932-map") return GenerateMap(args[1]);
  if (args.size() == 2 && args[0] == "cp932-decode") return GenerateDecode(args[1]);
  return Fail("usage: taxlink_textgen texts TABLE.tsv OUT.h | cp932-map OUT.h | cp932-decode OUT.h");
}
