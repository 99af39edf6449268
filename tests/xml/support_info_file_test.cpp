#include "xml/SupportInfoFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/text/WinTypes.h"
#include "platform/winfs/WinFileSystem.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

using testing::CurrentDirectory;
using testing::RecordingUi;
using testing::TempFolder;
using testing::WriteBytes;

struct SupportCase {
  const char* title;
  std::string contents;
  const char* name;
  const char* version;
};

class SupportInfoFileTest : public ::testing::TestWithParam<SupportCase> {};

TEST_P(SupportInfoFileTest, ReadsTheTwoValues) {
  const SupportCase& c = GetParam();
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"), c.contents);
  CurrentDirectory inFolder(folder.path());
  SupportInfoFile reader;
  EXPECT_EQ(reader.GetProductName(), c.name);
  EXPECT_EQ(reader.GetProductVersion(), c.version);
  EXPECT_TRUE(reader.LoadSupportInfo());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SupportInfoFileTest,
    ::testing::Values(
        SupportCase{"both", "[=製品名=]会計ソフト\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]18.00.05\r\n"_sjis,
                    "会計ソフト"_sjis, "18.00.05"},
        SupportCase{"other markers and text around",
                    "header\r\n[=ID=]7\r\nx[=製品名=]Name A\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]1.2\r\ntail\r\n"_sjis,
                    "Name A", "1.2"},
        SupportCase{"empty name", "[=製品名=]\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]2\r\n"_sjis, "", "2"},
        SupportCase{"first occurrence wins", "[=製品名=]first\r\n[=製品名=]second\r\n"_sjis,
                    "first", ""},
        SupportCase{"version on the last line without a line end",
                    "[=製品名=]N\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]18.01"_sjis, "N", "18.01"},
        SupportCase{"end-of-file byte ends the value", "[=製品ﾊﾞｰｼﾞｮﾝ=]3.0\x1A garbage"_sjis, "",
                    "3.0"},
        SupportCase{"a lone CR is part of the value", "[=製品名=]a\rb\r\n"_sjis, "a\rb", ""},
        SupportCase{"full-width katakana marker does not match", "[=製品バージョン=]9\r\n"_sjis, "",
                    ""},
        SupportCase{"empty file", "", "", ""}),
    [](const ::testing::TestParamInfo<SupportCase>& test) {
      std::string name;
      for (const char* p = test.param.title; *p; ++p) {
        name += (*p == ' ' || *p == '-') ? '_' : *p;
      }
      return name;
    });

TEST(SupportInfoFileLimitsTest, OnlyTheFirst30000BytesCount) {
  TempFolder folder;
  std::string padding(SupportInfoFile::kBlockSize - 12, 'p');
  // The version marker straddles the 30000th byte; the name lies beyond it.
  std::string contents = padding + "\r\n" + "[=製品ﾊﾞｰｼﾞｮﾝ=]5.5\r\n[=製品名=]late\r\n"_sjis;
  WriteBytes(folder.File("SUPPORT.INF"), contents);
  CurrentDirectory inFolder(folder.path());
  SupportInfoFile reader;
  EXPECT_EQ(reader.GetProductName(), "");
  EXPECT_EQ(reader.GetProductVersion(), "");
}

TEST(SupportInfoFileLimitsTest, AValueCutByTheLimitEndsWithTheData) {
  TempFolder folder;
  std::string head = "[=製品名=]"_sjis;
  std::string contents =
      head + std::string(SupportInfoFile::kBlockSize - head.size(), 'n') + "MORE\r\n";
  WriteBytes(folder.File("SUPPORT.INF"), contents);
  CurrentDirectory inFolder(folder.path());
  SupportInfoFile reader;
  EXPECT_EQ(reader.GetProductName(), std::string(SupportInfoFile::kBlockSize - head.size(), 'n'));
}

TEST(SupportInfoFileLimitsTest, MissingFileGivesEmptyValuesWithoutMessage) {
  TempFolder folder;
  CurrentDirectory inFolder(folder.path());
  RecordingUi::Scope ui;
  SupportInfoFile reader;
  EXPECT_EQ(reader.GetProductName(), "");
  EXPECT_EQ(reader.GetProductVersion(), "");
  EXPECT_TRUE(reader.LoadSupportInfo());  // the block exists; the file was missing
  EXPECT_TRUE(ui.log().messages.empty());
}

TEST(SupportInfoFileLimitsTest, FileIsReadOncePerReader) {
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"), "[=製品名=]one\r\n"_sjis);
  CurrentDirectory inFolder(folder.path());
  SupportInfoFile reader;
  EXPECT_EQ(reader.GetProductName(), "one");
  WriteBytes(folder.File("SUPPORT.INF"), "[=製品名=]two\r\n"_sjis);
  EXPECT_EQ(reader.GetProductName(), "one");
  SupportInfoFile another;
  EXPECT_EQ(another.GetProductName(), "two");
}

TEST(SupportInfoFileLimitsTest, FolderIsPrefixedToTheName) {
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"), "[=製品名=]there\r\n"_sjis);
  SupportInfoFile reader("", platform::ToWindowsPath(folder.path()) + "\\");
  EXPECT_EQ(reader.GetProductName(), "there");
}

// A reader whose memory block cannot be had.
class NoMemoryReader : public SupportInfoFile {
 public:
  using SupportInfoFile::SupportInfoFile;
  int allocations = 0;

 protected:
  std::unique_ptr<char[]> AllocateBlock() override {
    ++allocations;
    return nullptr;
  }
};

TEST(SupportInfoFileLimitsTest, NoMemoryShowsTheMessageAndGivesEmptyValues) {
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"), "[=製品名=]x\r\n"_sjis);
  CurrentDirectory inFolder(folder.path());
  RecordingUi::Scope ui;
  NoMemoryReader reader("TaxLinkAlto");
  EXPECT_EQ(reader.GetProductName(), "");
  ASSERT_EQ(ui.log().messages.size(), 1u);
  EXPECT_EQ(ui.log().messages[0].text, "ﾒﾓﾘが不足しています。"_sjis);
  EXPECT_EQ(ui.log().messages[0].caption, "TaxLinkAlto");
  EXPECT_EQ(ui.log().messages[0].style, MB_OK);
  EXPECT_FALSE(reader.LoadSupportInfo());
  EXPECT_EQ(reader.allocations, 2);  // every lookup tries again
}

}  // namespace
}  // namespace taxlink
