// Encoding, code page 932 byte classification and full-width mapping.

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text/Encoding.h"
#include "platform/text/FullWidth.h"
#include "platform/text/Mbcs.h"
#include "tests/support/SjisLiteral.h"

namespace {

using platform::Cp932ToUtf8;
using platform::Utf8ToCp932;

TEST(EncodingTest, LiteralsAreShiftJisAndRoundTrip) {
  // Program literals are compiled to code page 932.
  std::string tax = "消費税"_sjis;
  EXPECT_EQ(tax, "\x8f\xc1\x94\xef\x90\xc5");
  EXPECT_EQ(Cp932ToUtf8(tax), "\xe6\xb6\x88\xe8\xb2\xbb\xe7\xa8\x8e");
  struct Case {
    const char* cp932;
    const char* utf8;
  } cases[] = {
      {"\x95\x5c", "\xe8\xa1\xa8"},              // 表: trail byte 0x5C
      {"\x83\x7c", "\xe3\x83\x9d"},              // ポ: trail byte 0x7C
      {"\xb6\xde", "\xef\xbd\xb6\xef\xbe\x9e"},  // half-width ｶﾞ
      {"C:\\out\\a.xml", "C:\\out\\a.xml"},      // 0x5C stays a backslash
      {"~a|b{c}\x7f", "~a|b{c}\x7f"},            // ASCII is the same bytes
      {"abc\x95\x5c", "abc\xe8\xa1\xa8"},        // ASCII, then 表 at the end
      {"\x81\x60", "\xef\xbd\x9e"},              // ～ is U+FF5E
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
    EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
    std::string strict;
    EXPECT_TRUE(platform::TryCp932ToUtf8(c.cp932, &strict));
    EXPECT_EQ(strict, c.utf8);
  }
}

TEST(EncodingTest, BadInputBecomesQuestionMarkOrFailsStrictly) {
  struct Case {
    std::string input;
    bool fromCp932;
    std::string lenient;
  } cases[] = {
      {"a\x80"
       "b",
       true, "a?b"},  // 0x80 is no character
      {"a\x85\x40"
       "b",
       true, "a?b"},            // unassigned pair: skipped whole
      {"ab\x81", true, "ab?"},  // lead byte at the end
      {"a\xf0\x9f\x98\x80"
       "b",
       false, "a?b"},  // emoji: no code page 932 form
      {"a\xff"
       "b",
       false, "a?b"},  // not UTF-8
  };
  for (const Case& c : cases) {
    std::string out = "untouched";
    if (c.fromCp932) {
      EXPECT_EQ(Cp932ToUtf8(c.input), c.lenient);
      EXPECT_FALSE(platform::TryCp932ToUtf8(c.input, &out));
    } else {
      EXPECT_EQ(Utf8ToCp932(c.input), c.lenient);
      EXPECT_FALSE(platform::TryUtf8ToCp932(c.input, &out));
    }
    EXPECT_EQ(out, "untouched");
  }
}

TEST(EncodingTest, LongTextConvertsCompletely) {
  std::string cp932;
  for (int i = 0; i < 2000; ++i) cp932 += "消費税a"_sjis;
  std::string utf8 = Cp932ToUtf8(cp932);
  EXPECT_EQ(utf8.size(), 2000u * 10u);
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
}

// A whole text through a fresh descriptor: what each conversion must equal,
// however many characters the converter has seen before.
bool ReferenceToCp932(const std::string& utf8, std::string* out) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string input = utf8;
  std::string result(utf8.size() * 2 + 4, '\0');
  char* in = input.data();
  std::size_t inLeft = input.size();
  char* outPtr = result.data();
  std::size_t outLeft = result.size();
  const bool converted = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  result.resize(result.size() - outLeft);
  *out = result;
  return converted && inLeft == 0;
}

TEST(EncodingTest, RepeatedCharactersConvertAsAWholeTextWould) {
  const std::vector<std::string> pieces = {
      "\xe9\xa0\x90",  // 預 (two bytes)
      "\xef\xbd\xb6",  // half-width ｶ (one byte)
      "\xc2\xa7",       // § (two-byte UTF-8)
      "\xc2\xa5",       // ¥
      "\xe2\x80\x94",  // em dash
      "\xe2\x88\x92",  // minus sign
      "\xef\xbf\xa2",  // full-width not sign
      "\xc4\x80",       // Ā: no code page 932 form
      "\xed\xa0\x80",  // a surrogate: not UTF-8
      "\xe9\xa0",       // cut short
      "a",
  };
  for (int round = 0; round < 2; ++round) {  // the second with every character seen
    for (const std::string& first : pieces) {
      for (const std::string& second : pieces) {
        const std::string text = first + second + first;
        std::string expected;
        const bool convertible = ReferenceToCp932(text, &expected);
        std::string out = "untouched";
        ASSERT_EQ(platform::TryUtf8ToCp932(text, &out), convertible) << text;
        EXPECT_EQ(out, convertible ? expected : "untouched") << text;
        if (convertible) {
          EXPECT_EQ(Utf8ToCp932(text), expected) << text;
        }
      }
    }
  }
}

// Converts text with a descriptor of its own (reset first), as the
// conversions did before they had tables: true when the whole text converts;
// *failedAt is where it stopped.
bool Reference(iconv_t cd, const std::string& text, std::string* out, std::size_t* failedAt) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string input = text;
  std::string result(text.size() * 3 + 4, '\0');
  char* in = input.data();
  std::size_t inLeft = input.size();
  char* outPtr = result.data();
  std::size_t outLeft = result.size();
  const bool converted = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  result.resize(result.size() - outLeft);
  *out = result;
  *failedAt = text.size() - inLeft;
  return converted && inLeft == 0;
}

// Every code page 932 byte pair (and byte at the end of a text), and every
// code point of the basic plane, converts exactly as iconv converts it: the
// tables decide known characters, iconv everything else.
TEST(EncodingTest, EveryCharacterConvertsAsIconvDoes) {
  iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
  iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  ASSERT_NE(toUtf8, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(toCp932, reinterpret_cast<iconv_t>(-1));
  const std::string known = "\x82\xa0";  // あ, so that no text is ASCII alone
  int mismatches = 0;
  const auto checkCp932 = [&](const std::string& text) {
    std::string expected;
    std::size_t expectedAt = 0;
    const bool convertible = Reference(toUtf8, text, &expected, &expectedAt);
    std::string out = "untouched";
    const bool converted = platform::TryCp932ToUtf8(text, &out);
    const std::size_t invalidAt = platform::FindInvalidCp932(text);
    if (converted != convertible || out != (convertible ? expected : "untouched") ||
        invalidAt != (convertible ? std::string::npos : expectedAt) ||
        (convertible && Cp932ToUtf8(text) != expected)) {
      if (++mismatches <= 5) ADD_FAILURE() << "code page 932 text " << testing::PrintToString(text);
    }
  };
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    checkCp932(known + static_cast<char>(lead));
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      checkCp932(known + static_cast<char>(lead) + static_cast<char>(trail) + "a");
    }
  }
  for (char32_t code = 0x80; code <= 0xFFFF; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    std::string utf8 = "a";
    if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
    } else {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
    utf8 += "\xe3\x81\x82";  // あ
    std::string expected;
    std::size_t expectedAt = 0;
    const bool convertible = Reference(toCp932, utf8, &expected, &expectedAt);
    std::string out = "untouched";
    if (platform::TryUtf8ToCp932(utf8, &out) != convertible ||
        out != (convertible ? expected : "untouched") ||
        (convertible && Utf8ToCp932(utf8) != expected)) {
      if (++mismatches <= 5) ADD_FAILURE() << "code point " << static_cast<unsigned>(code);
    }
  }
  EXPECT_EQ(mismatches, 0);
  iconv_close(toUtf8);
  iconv_close(toCp932);
}

// Texts of known characters convert both ways without iconv: its module is
// never loaded. Checked in a fresh process (this binary started again for
// the second test alone), since other tests load it.
TEST(EncodingTest, KnownCharactersNeedNoIconv) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    setenv("TAXLINK_TEST_NO_ICONV_CHILD", "1", 1);
    execl("/proc/self/exe", "text_test", "--gtest_filter=EncodingTest.NoIconvChild", nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(EncodingTest, NoIconvChild) {
  if (std::getenv("TAXLINK_TEST_NO_ICONV_CHILD") == nullptr) GTEST_SKIP() << "started by the test above";
  const std::string text = "消費税ｶ"_sjis;
  std::string utf8;
  std::string cp932;
  ASSERT_TRUE(platform::TryCp932ToUtf8(text, &utf8));
  EXPECT_EQ(utf8, "消費税ｶ");
  ASSERT_TRUE(platform::TryUtf8ToCp932(utf8, &cp932));
  EXPECT_EQ(cp932, text);
  std::ifstream maps("/proc/self/maps");
  std::stringstream loaded;
  loaded << maps.rdbuf();
  EXPECT_EQ(loaded.str().find("gconv"), std::string::npos);
}

TEST(MbcsTest, ByteClasses) {
  struct Case {
    unsigned char byte;
    bool lead;
    bool trail;
  } cases[] = {
      {0x20, false, false}, {0x3F, false, false}, {0x40, false, true},  {0x5C, false, true},
      {0x7C, false, true},  {0x7E, false, true},  {0x7F, false, false}, {0x80, false, true},
      {0x81, true, true},   {0x9F, true, true},   {0xA0, false, true},  {0xA1, false, true},
      {0xDF, false, true},  {0xE0, true, true},   {0xFC, true, true},   {0xFD, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsLeadByte(c.byte), c.lead) << int(c.byte);
    EXPECT_EQ(platform::IsTrailByte(c.byte), c.trail) << int(c.byte);
  }
}

TEST(MbcsTest, PositionsWalkFromTheStart) {
  // "a表\ポ|": the 0x5C and 0x7C inside characters are trail bytes, the
  // ones after them are not.
  const char* text = "a\x95\x5c\\\x83\x7c|";
  struct Case {
    std::size_t pos;
    bool lead;
    bool trail;
  } cases[] = {{0, false, false}, {1, true, false},  {2, false, true},
               {3, false, false}, {4, true, false},  {5, false, true},
               {6, false, false}, {7, false, false}, {50, false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsLeadAt(text, c.pos), c.lead) << c.pos;
    EXPECT_EQ(platform::IsTrailAt(text, c.pos), c.trail) << c.pos;
  }
  // Two lead-range bytes in a row: the second is the first one's trail.
  EXPECT_TRUE(platform::IsTrailAt("\x81\x81\x81", 1));
  // A lead byte before the end is still a lead byte: a cut there splits.
  EXPECT_TRUE(platform::IsLeadAt("\x81\x81\x81", 2));
  EXPECT_TRUE(platform::IsLeadAt("ab\x95", 2));
  EXPECT_FALSE(platform::IsTrailAt("\x81", 1));
  EXPECT_FALSE(platform::IsLeadAt(nullptr, 0));
}

TEST(FullWidthTest, MapsAsciiAndHalfWidthKana) {
  struct Case {
    std::string input;
    std::string expected;
  } cases[] = {
      {"Abc 123", "Ａｂｃ　１２３"_sjis},
      {"~\\\"'-", std::string("～＼"_sjis) + "\xfa\x57\xfa\x56" + "－"_sjis},
      {"\xb6\xde", "ガ"_sjis},            // ｶﾞ
      {"\xca\xdf\xcb\xde", "パビ"_sjis},  // ﾊﾟﾋﾞ
      {"\xb3\xde", "ヴ"_sjis},            // ｳﾞ
      {"\xdc\xde", "ワ゛"_sjis},          // ﾜﾞ: no merged form in code page 932
      {"\xb6\xdf", "カ゜"_sjis},          // ｶﾟ: no semi-voiced form
      {"\xde\xb1\xdd", "゛アン"_sjis},
      {"\xa1\xa2\xa3\xa4\xa5\xb0", "。「」、・ー"_sjis},
      {"表ポ"_sjis, "表ポ"_sjis},  // already double-byte: unchanged
      {std::string("a\x80\xfd", 3), std::string("ａ"_sjis) + "\x80\xfd"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::MapToFullWidth(c.input), c.expected) << Cp932ToUtf8(c.expected);
  }
}

TEST(FullWidthTest, EveryPrintableAsciiBecomesOneDoubleByteCharacter) {
  for (int c = 0x20; c <= 0x7E; ++c) {
    std::string mapped = platform::MapToFullWidth(std::string(1, static_cast<char>(c)));
    ASSERT_EQ(mapped.size(), 2u) << c;
    EXPECT_TRUE(platform::IsLeadByte(static_cast<unsigned char>(mapped[0]))) << c;
  }
}

}  // namespace
