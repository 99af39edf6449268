#include "report/ConditionText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "aggregation/TaxSettings.h"
#include "report/FullWidthName.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

StDATAINFO Company(const char* name, int32_t start, int32_t end) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  std::strncpy(data.companyName, name, sizeof(data.companyName) - 1);
  data.periodStart = start;
  data.periodEnd = end;
  return data;
}

StSHOHIZEIINFO Settings(uint8_t filingClass, uint8_t roundingMode, uint8_t creditMethod,
                        uint8_t mainBusinessType) {
  StSHOHIZEIINFO s;
  std::memset(&s, 0, sizeof(s));
  s.filingClass = filingClass;
  s.roundingMode = roundingMode;
  s.creditMethod = creditMethod;
  s.mainBusinessType = mainBusinessType;
  return s;
}

struct TextCase {
  int kind;
  StSHOHIZEIINFO settings;
  const char* text;
};

class ConditionTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConditionTextTest, Texts) {
  const TextCase& c = GetParam();
  StDATAINFO data = Company("株式会社テスト"_sjis, 20150401, 20160331);
  EXPECT_EQ(ConditionText(c.kind, data, c.settings), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConditionTextTest,
    ::testing::Values(TextCase{0, Settings(0, 0, 0, 0), " 株式会社テスト"_sjis},
                      TextCase{1, Settings(0, 0, 0, 0), " 2015/04/01～2016/03/31"_sjis},
                      TextCase{2, Settings(0, 0, 0, 0), " 免税"_sjis},
                      TextCase{2, Settings(1, 0, 0, 0), " 簡易課税"_sjis},
                      TextCase{2, Settings(2, 0, 0, 0), " 原則課税"_sjis},
                      TextCase{2, Settings(3, 0, 0, 0), ""},  // no such filing class
                      TextCase{3, Settings(0, 0, 0, 0), ""},
                      TextCase{3, Settings(1, 0, 0, 0), "主となる事業分類"_sjis},
                      TextCase{3, Settings(2, 0, 0, 0), "課税仕入控除"_sjis},
                      TextCase{3, Settings(9, 0, 0, 0), ""}, TextCase{4, Settings(0, 0, 1, 3), ""},
                      TextCase{4, Settings(1, 0, 0, 0), " 指定なし"_sjis},
                      TextCase{4, Settings(1, 0, 0, 1), " 第一種事業 卸売業"_sjis},
                      TextCase{4, Settings(1, 0, 0, 2), " 第二種事業 小売業"_sjis},
                      TextCase{4, Settings(1, 0, 0, 3), " 第三種事業 製造業"_sjis},
                      TextCase{4, Settings(1, 0, 0, 4), " 第四種事業 その他"_sjis},
                      TextCase{4, Settings(1, 0, 0, 5), " 第五種事業 サービス業"_sjis},
                      TextCase{4, Settings(1, 0, 0, 6), " 第六種事業 不動産業"_sjis},
                      TextCase{4, Settings(1, 0, 0, 7), ""},  // no seventh business type
                      TextCase{4, Settings(2, 0, 0, 4), " 個別対応方式"_sjis},
                      TextCase{4, Settings(2, 0, 1, 0), " 一括比例配分方式"_sjis},
                      TextCase{4, Settings(2, 0, 2, 0), ""},
                      TextCase{5, Settings(2, 0, 0, 0), ""}));

// The report and the aggregation read the settings bytes from the one
// record; the main business type counts under simplified taxation only.
TEST(TaxSettingsTest, SettingsBytesOfTheRecord) {
  TaxSettings settings;
  settings.record = Settings(1, 2, 0, 5);
  EXPECT_EQ(settings.filingClass(), 1);
  EXPECT_EQ(settings.roundingMode(), 2);
  EXPECT_EQ(settings.mainBusinessType(), 5);
  settings.record = Settings(2, 1, 0, 6);
  EXPECT_EQ(settings.mainBusinessType(), 0);
  EXPECT_EQ(settings.roundingMode(), 1);
}

TEST(ConditionTextSettingsTest, LongTextsAreCutAtFiftyBytesOnACharacter) {
  StSHOHIZEIINFO none = Settings(0, 0, 0, 0);
  // " " + 48 letters puts the lead byte of "あ" at byte 50: it goes whole.
  std::string name = std::string(48, 'a') + "あい"_sjis;
  EXPECT_EQ(ConditionText(0, Company(name.c_str(), 0, 0), none), " " + std::string(48, 'a'));
  // One letter fewer and "あ" ends right at the cut.
  name = std::string(47, 'a') + "あい"_sjis;
  EXPECT_EQ(ConditionText(0, Company(name.c_str(), 0, 0), none),
            " " + std::string(47, 'a') + "あ"_sjis);
}

TEST(ConditionTextSettingsTest, AnUnterminatedCompanyNameStaysInTheRecord) {
  StDATAINFO data = Company("", 0, 0);
  std::memset(data.companyName, 'n', sizeof(data.companyName));  // no terminator
  std::string text = ConditionText(0, data, Settings(0, 0, 0, 0));
  EXPECT_EQ(text, " " + std::string(49, 'n'));
}

struct NameCase {
  const char* what;
  std::string name;
  std::string expected;
};

class FullWidthNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FullWidthNameTest, MapsAndCuts) {
  const NameCase& c = GetParam();
  EXPECT_EQ(ToFullWidthName(c.name), c.expected) << c.what;
  EXPECT_LE(ToFullWidthName(c.name).size(), 32u);
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Names, FullWidthNameTest,
    ::testing::Values(
        NameCase{"short", "abc", "ａｂｃ"_sjis},
        NameCase{"twenty half-width letters", std::string(20, 'A'), Repeat("Ａ"_sjis, 16)},
        NameCase{"sixteen full-width letters exactly", Repeat("Ａ"_sjis, 16),
                 Repeat("Ａ"_sjis, 16)},
        NameCase{"half-width katakana", "ｶﾞｲｱ"_sjis, "ガイア"_sjis},
        // "\x80" has no full-width form and stays one byte, so byte 32 is the
        // lead byte of a double-byte character: the cut falls at 31.
        NameCase{"lead byte at the cut", "\x80" + Repeat("ア"_sjis, 20),
                 "\x80" + Repeat("ア"_sjis, 15)},
        NameCase{"trail byte at the cut", Repeat("ア"_sjis, 20), Repeat("ア"_sjis, 16)},
        NameCase{"empty", "", ""}));

TEST(CutAtCharBoundaryTest, Table) {
  struct Case {
    std::string text;
    std::size_t max;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", 5, "abc"},
      {"abc", 2, "ab"},
      {"aあ"_sjis, 2, "a"},
      {"aあ"_sjis, 3, "aあ"_sjis},
      {"\x95\x5C\x95\x5C", 3, "\x95\x5C"},  // 0x5C trail byte is no character end issue
      {"ab", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CutAtCharBoundary(c.text, c.max), c.expected) << c.text;
}

}  // namespace
}  // namespace taxlink
